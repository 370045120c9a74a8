#include "game/piano_keys.h"

#include "base/module_state.h"
#include "files/settings.h"
#include "game/artwork_layout.h"
#include "game/key_names.h"
#include "game/panels.h"

namespace game {

namespace {

// The look each key was last drawn in, so that a change of view can draw
// them again as they stand.
struct State {
  int lookShown[kPianoKeys]{};
};
base::ModuleState<State> state;

// Key -12, note 48, is played with Ctrl and the first key: it lights that
// key with the arrow look like the notes above it.
constexpr int kLowestShown = -12;
constexpr int kHighestShown = 31;
constexpr int kOctave = 12;
constexpr int kKeyLeft = 8;
constexpr int kWhiteKeyPitch = 52;
constexpr int kLowerTop = 400;
constexpr int kLowerBottom = 472;
constexpr int kBlackKeyWidth = 19;
constexpr int kBlackKeyOffset = 42;

constexpr bool kIsBlack[kPianoKeys] = {false, true,  false, true,  false, false, true, false, true,  false,
                                       true,  false, false, true,  false, true,  false, false, true, false};
// The white key at or left of each key.
constexpr int kWhiteColumn[kPianoKeys] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6, 7, 7, 8, 8, 9, 10, 10, 11};
// The upper part's shape by white column: 0 notched on the right, 1 on both
// sides, 2 on the left (and the last key).
constexpr int kWhiteShape[12] = {0, 1, 2, 0, 1, 1, 2, 0, 1, 2, 0, 2};
constexpr int kShapeOffset[3] = {0, 10, 10};
constexpr int kShapeWidth[3] = {42, 32, 42};

}  // namespace

int PianoKeysTop() {
  return files::CurrentSettings().view == files::View::NotesAhead ? kShortKeysTop : kPianoAreaTop;
}

KeyShown KeyShowing(int key) {
  if (key < 0) return {key + kOctave, -1};
  if (key >= kPianoKeys) return {key - kOctave, +1};
  return {key, 0};
}

KeySpan KeyTopSpan(int key) {
  const int column = kWhiteColumn[key];
  const int x = kKeyLeft + kWhiteKeyPitch * column;
  if (kIsBlack[key]) return {x + kBlackKeyOffset, x + kBlackKeyOffset + BlackKey(0).right - BlackKey(0).left};
  const int shape = kWhiteShape[column];
  return {x + kShapeOffset[shape], x + kShapeOffset[shape] + kShapeWidth[shape]};
}

void DrawPianoKey(int key, int look) {
  if (key < kLowestShown || key > kHighestShown) return;
  const KeyShown shown = KeyShowing(key);
  key = shown.key;
  if (look == kKeyLookLit && shown.octave < 0) look = kKeyLookLitOctaveBelow;
  if (look == kKeyLookLit && shown.octave > 0) look = kKeyLookLitOctaveAbove;
  state.lookShown[key] = look;
  const int column = kWhiteColumn[key];
  const int x = kKeyLeft + kWhiteKeyPitch * column;
  // Shorter keys show the lower rows of their upper parts.
  const int top = PianoKeysTop();
  const int cut = top - kPianoAreaTop;
  if (kIsBlack[key]) {
    const SourceRect black = BlackKey(look);
    PutArtwork(x + kBlackKeyOffset, top, {black.left, black.top + cut, black.right, black.bottom});
    DrawKeyNames(key, x + kBlackKeyOffset + kBlackKeyWidth / 2, kLowerTop, kBlackKeyWidth, true);
    return;
  }
  const int shape = kWhiteShape[column];
  const SourceRect upper = WhiteKeyUpper(look);
  const int left = upper.left + kShapeOffset[shape];
  PutArtwork(x + kShapeOffset[shape], top, {left, upper.top + cut, left + kShapeWidth[shape], upper.bottom});
  PutArtwork(x, kLowerTop, WhiteKeyLower(look));
  DrawKeyNames(key, x + kWhiteKeyPitch / 2, kLowerBottom, kWhiteKeyPitch, false);
}

void RedrawPianoKeys() {
  for (int key = 0; key < kPianoKeys; ++key) DrawPianoKey(key, state.lookShown[key]);
}

void DrawAllKeysUp() {
  for (int key = 0; key < kPianoKeys; ++key) DrawPianoKey(key, kKeyLookUp);
}

}  // namespace game
