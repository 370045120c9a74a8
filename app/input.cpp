#include "app/input.h"

#include "app/shell.h"
#include "app/shutdown.h"
#include "draw/eldraw.h"
#include "draw/system_cursor.h"
#include "game/piano_input.h"
#include "midi/timing.h"
#include "platform/virtual_keys.h"
#include "player/playback_clock.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace app {

void HandleKeyDown(int virtualKey, int letter) {
  scene::PressKey(virtualKey, letter);
  if (virtualKey == platform::vk::kEscape) scene::BeginSceneChange(scene::kSceneExitQuestion);
}

void HandleEvent(const platform::Event& event) {
  using platform::EventKind;
  switch (event.kind) {
    case EventKind::MouseMove:
      scene::MovePointer(event.x, event.y);
      break;
    case EventKind::LeftDown:
      scene::PressLeftButton();
      break;
    case EventKind::LeftUp:
      scene::ReleaseLeftButton();
      break;
    case EventKind::RightDown:
      scene::PressRightButton();
      break;
    case EventKind::LeftDoubleClick:  // the second press of a double click acts as none
    case EventKind::RightDoubleClick:
    case EventKind::SystemKey:        // Alt, F10 and Alt combinations have no effect
      break;
    case EventKind::KeyDown:
      HandleKeyDown(event.key, event.letter);
      game::TakePianoKey(event.key, true, event.ms);
      break;
    case EventKind::KeyUp:
      if (event.key == scene::LastKey()) scene::SetLastKey(0);
      game::TakePianoKey(event.key, false, event.ms);
      break;
    case EventKind::WindowMoved:
      draw::SetClientOrigin(event.x, event.y);
      break;
    case EventKind::Activated:
      scene::SetApplicationActive(true);
      midi::ResetFrameStamp();
      player::ContinuePlayback();
      break;
    case EventKind::Deactivated:
      scene::SetApplicationActive(false);
      draw::SetSystemCursorShown(true);
      // A window keeps playing in the background; full screen stops its
      // frames, and the song stops with them.
      if ((WindowBehaviour() & kRunWhileInactive) == 0) player::HoldPlayback();
      break;
    case EventKind::UserCloseRequest:
      // The close button asks first, as Escape does; on the way out it
      // simply closes.
      if (QuitState() == kRunning) scene::BeginSceneChange(scene::kSceneExitQuestion);
      else CloseMainWindow();
      break;
    case EventKind::CloseRequest:
      CloseMainWindow();
      break;
  }
}

}  // namespace app
