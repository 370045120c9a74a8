#include "game/demo_keys.h"

#include "base/module_state.h"
#include "game/computer_keyboard.h"
#include "game/piano.h"
#include "game/piano_keys.h"

namespace game {

// How many note-ons of each note of the guide part are sounding.
namespace {
struct State {
  int sounding[128]{};
};
base::ModuleState<State> state;
}  // namespace

// The piano key (0..19) that shows a note, as DrawGuideKey draws it.
static int ShownKey(int note) {
  int key = NoteInReach(note) - kPianoLowestNote;
  if (key < 0) key += 12;
  if (key >= kPianoKeys) key -= 12;
  return key;
}

void ShowDemoNote(int note, bool on) {
  if (note < 0 || note > 127) return;
  if (on) {
    ++state.sounding[note];
    DrawGuideKey(note, kKeyLookLit);
    return;
  }
  if (state.sounding[note] == 0) return;
  if (--state.sounding[note] > 0) return;
  DrawGuideKey(note, kKeyLookUp);
  // Another sounding note shown on the same key keeps it lit.
  for (int other = 0; other < 128; ++other)
    if (state.sounding[other] > 0 && ShownKey(other) == ShownKey(note)) DrawGuideKey(other, kKeyLookLit);
}

void DarkenDemoKeys() {
  for (int note = 0; note < 128; ++note) {
    if (state.sounding[note] == 0) continue;
    state.sounding[note] = 0;
    DrawGuideKey(note, kKeyLookUp);
  }
}

}  // namespace game
