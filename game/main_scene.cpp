#include "game/main_scene.h"

#include "app/scenes.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "game/artwork_layout.h"
#include "game/panels.h"
#include "player/playback_clock.h"

namespace game {

void RunMainScene() {
  if (app::SceneEntered()) {
    // The whole screen from the artwork; the song back at its start.
    app::ClearBackScreen();
    const SourceRect& r = kScreenBackground;
    elDraw::Put(0, 0, app::ArtworkObject(), r.left, r.top, r.right, r.bottom);
    DrawTitlePanel();
    player::RewindSong();
    draw::RequestRedraw();
  }
  if (draw::RedrawRequested()) {
    app::DrawTransitionAndPresent();
    draw::ClearRedrawRequest();
  }
}

}  // namespace game
