#include "game/lyric_bar.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "draw/redraw.h"
#include "draw/text.h"
#include "game/panels.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/lyric_lines.h"
#include "player/playback_clock.h"

namespace game {

// Where the next word starts, and whether the line still has words to
// highlight.
namespace {
struct State {
  int wordPosition = 0;
  bool wordsLeft = false;
};
State state;
}  // namespace

static constexpr int kHighlightColour = 10;  // red in the label colour table
// Sung syllables: dark blue, apart from the red of a pressed word and
// clear on the bar's silver.
static constexpr int kReachedSyllableColour = 1;

int LyricWordPosition() { return state.wordPosition; }
bool LyricWordsLeft() { return state.wordsLeft; }

void ResetLyricBar() {
  state = {};
}

void RestoreLyricBar() { RestoreBackground(kLyricBar); }

// The length of the piece of the word at `start` that fits the word buffer,
// never ending on the first byte of a double-byte character.
static int PieceLength(const char* text, int start, int runLength) {
  if (runLength < kWordBufferSize) return runLength;
  int length = 0;
  while (length < runLength) {
    const int step = platform::IsDBCSLeadByte(static_cast<std::uint8_t>(text[start + length])) ? 2 : 1;
    if (length + step > kWordBufferSize - 1) break;
    length += step;
  }
  return length > 0 ? length : 1;
}

// Highlights the word at the word position (after any spaces) and moves past
// it; the line has no words left once nothing but spaces follows.
static void HighlightNextWord() {
  const char* text = player::LyricBuffer();
  const int end = static_cast<int>(std::strlen(text));
  int start = state.wordPosition;
  while (start < end && text[start] == ' ') ++start;
  if (start < end) state.wordPosition = start;
  int run = 0;
  while (state.wordPosition + run < end && text[state.wordPosition + run] != ' ') ++run;
  const int length = PieceLength(text, state.wordPosition, run);
  char word[kWordBufferSize];
  std::memcpy(word, text + state.wordPosition, static_cast<std::size_t>(length));
  word[length] = '\0';
  int next = state.wordPosition + length;
  while (next < end && text[next] == ' ') ++next;
  if (next >= end) state.wordsLeft = false;
  draw::SetLabelColor(kHighlightColour);
  draw::DrawCellText(kLyricColumn + state.wordPosition, kLyricRow, word);
  state.wordPosition += length;
  draw::RequestRedraw();
}

void ShowLyricLine() {
  if (player::PlayState() == player::kStopped) return;
  RestoreLyricBar();
  draw::DrawCellText(kLyricColumn, kLyricRow, player::LyricBuffer());
  if (player::LyricsBySyllable()) return;  // lit by the song's time
  state.wordPosition = 0;
  if (!state.wordsLeft) {
    state.wordsLeft = true;
    draw::RequestRedraw();
    return;
  }
  // The previous line still had words: the new line's first word lights now.
  HighlightNextWord();
}

void AdvanceLyricWord() {
  if (player::PlayState() == player::kStopped || player::LyricsBySyllable()) return;
  if (!state.wordsLeft) {
    state.wordsLeft = true;
    state.wordPosition = 0;
    draw::RequestRedraw();
    return;
  }
  HighlightNextWord();
}

void LightLyricSyllable(int start, int length) {
  if (player::PlayState() == player::kStopped || length <= 0) return;
  const char* text = player::LyricBuffer();
  const int end = static_cast<int>(std::strlen(text));
  if (start >= end) return;
  const std::string syllable(text + start, static_cast<std::size_t>(std::min(length, end - start)));
  draw::SetLabelColor(kReachedSyllableColour);
  draw::DrawCellText(kLyricColumn + start, kLyricRow, syllable.c_str());
}

}  // namespace game
