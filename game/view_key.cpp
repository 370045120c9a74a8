#include "game/view_key.h"

#include <cstdio>
#include <cstring>

#include "base/module_state.h"
#include "draw/messages.h"
#include "draw/redraw.h"
#include "files/settings.h"
#include "game/piano_keys.h"
#include "platform/virtual_keys.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

// Whether the first start's hint is still due, and whether a failed write
// of the settings has been said already (it is said once a run).
namespace {
struct State {
  bool hintDue = false;
  bool writeFailureSaid = false;
};
base::ModuleState<State> state;
}  // namespace

static constexpr draw::PlayerText kNotesAheadHint = {
    "Tabキーを押すと、これから弾く音が見えます（押すたびに表示が変わります）",
    "Press Tab to see the notes ahead; Tab steps: plain, names, notes ahead"};

// Puts the choices in force; a file that cannot be written is said on the
// terminal, once, and the choice holds for this run all the same.
static void KeepSettings(const files::Settings& changed) {
  int error = 0;
  if (files::ChangeSettings(changed, error) || state.writeFailureSaid) return;
  state.writeFailureSaid = true;
  std::fprintf(stderr, "tonquill: %s cannot be written (%s): your choices hold until the game ends\n",
               files::SettingsPath().c_str(), std::strerror(error));
}

static files::View NextView(files::View view) {
  switch (view) {
    case files::View::Plain: return files::View::Names;
    case files::View::Names: return files::View::NotesAhead;
    case files::View::NotesAhead: return files::View::Plain;
  }
  return files::View::Names;
}

void StepView() {
  files::Settings settings = files::CurrentSettings();
  settings.view = NextView(settings.view);
  KeepSettings(settings);
  state.hintDue = false;
  RedrawPianoKeys();
  draw::RequestRedraw();
}

void RunViewKey() {
  if (player::PlayState() != player::kStopped) state.hintDue = false;  // the bar is the lyrics' now
  if (scene::KeyWentDown(platform::vk::kTab)) StepView();
}

void NoteFirstStart() {
  if (files::CurrentSettings().notesAheadHintShown) return;
  state.hintDue = true;
  files::Settings settings = files::CurrentSettings();
  settings.notesAheadHintShown = true;
  KeepSettings(settings);
}

void DismissNotesAheadHint() { state.hintDue = false; }

std::string NotesAheadHintDue() { return state.hintDue ? draw::InPlayersLanguage(kNotesAheadHint) : ""; }

}  // namespace game
