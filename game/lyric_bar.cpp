#include "game/lyric_bar.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/module_state.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "game/panels.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/lyric_lines.h"
#include "player/playback_clock.h"

namespace game {

// Where the next word starts, whether the line still has words to
// highlight, the line's first byte in the bar, and the program's own text
// the bar shows (a notice held against the lyrics).
namespace {
struct State {
  int wordPosition = 0;
  bool wordsLeft = false;
  int shownFrom = 0;
  std::string barText;
  bool noticeHeld = false;
  bool timedNotice = false;  // a notice shown until a moment
  std::uint32_t noticeUntilMs = 0;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kHighlightColour = 10;  // red in the label colour table
// Sung syllables: dark blue, apart from the red of a pressed word and
// clear on the bar's silver.
static constexpr int kReachedSyllableColour = 1;

int LyricWordPosition() { return state.wordPosition; }
bool LyricWordsLeft() { return state.wordsLeft; }
int LyricLineShownFrom() { return state.shownFrom; }
const std::string& LyricBarText() { return state.barText; }
bool LyricBarNoticeHeld() { return state.noticeHeld; }
bool TimedLyricBarNoticeShown() { return state.timedNotice; }

void ResetLyricBar() {
  state.Reset();
}

void RestoreLyricBar() {
  RestoreBackground(kLyricBar);
  state.barText.clear();
}

// The bytes of `text` from `start` that fill at most `cells` cells, never
// ending on the first byte of a double-byte character.
static int BytesThatFit(const char* text, int start, int length, int cells) {
  int used = 0;
  while (used < length) {
    const auto b = static_cast<std::uint8_t>(text[start + used]);
    const int step = platform::IsLeadByteIn(platform::SongTextCodePage(), b) ? 2 : 1;
    if (used + step > cells || used + step > length) break;
    used += step;
  }
  return used;
}

// Draws bytes `start` to `start + length` of the lyric buffer where they
// stand in the shown line, in the label colour set, cut at the bar's end.
static void DrawLinePiece(int start, int length) {
  const char* text = player::LyricBuffer();
  const int column = start - state.shownFrom;
  const std::string piece(text + start, static_cast<std::size_t>(BytesThatFit(text, start, length, kLyricBarCells - column)));
  draw::DrawCellText(kLyricColumn + column, kLyricRow, piece.c_str());
}

// The line from its byte `from` on, as much as the bar holds.
static void DrawLineFrom(int from) {
  RestoreLyricBar();
  state.shownFrom = from;
  const int end = static_cast<int>(std::strlen(player::LyricBuffer()));
  if (from < end) DrawLinePiece(from, end - from);
}

// A piece lit beyond the bar (or before the part shown) brings the line
// from the piece on into the bar.
static void KeepInBar(int start, int length) {
  const int cells = std::min(length, kLyricBarCells);
  if (start < state.shownFrom || start + cells > state.shownFrom + kLyricBarCells) DrawLineFrom(start);
}

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
  int next = state.wordPosition + length;
  while (next < end && text[next] == ' ') ++next;
  if (next >= end) state.wordsLeft = false;
  if (length > 0) {
    KeepInBar(state.wordPosition, length);
    draw::SetLabelColor(kHighlightColour);
    DrawLinePiece(state.wordPosition, length);
  }
  state.wordPosition += length;
  draw::RequestRedraw();
}

void ShowLyricLine() {
  if (player::PlayState() == player::kStopped || state.noticeHeld || state.timedNotice) return;
  DrawLineFrom(0);
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
  if (player::PlayState() == player::kStopped || player::LyricsBySyllable() || state.noticeHeld || state.timedNotice)
    return;
  if (!state.wordsLeft) {
    state.wordsLeft = true;
    state.wordPosition = 0;
    draw::RequestRedraw();
    return;
  }
  HighlightNextWord();
}

void LightLyricSyllable(int start, int length) {
  if (player::PlayState() == player::kStopped || length <= 0 || state.noticeHeld || state.timedNotice) return;
  const int end = static_cast<int>(std::strlen(player::LyricBuffer()));
  if (start < 0 || start >= end) return;
  length = std::min(length, end - start);
  KeepInBar(start, length);
  draw::SetLabelColor(kReachedSyllableColour);
  DrawLinePiece(start, length);
}

void ShowLyricBarText(const std::string& utf8) {
  RestoreLyricBar();
  draw::DrawCellUtf8Text(kLyricColumn, kLyricRow, draw::CutUtf8ToCells(utf8, kLyricBarCells).c_str());
  state.barText = utf8;
}

void HoldLyricBarNotice(const std::string& utf8) {
  ShowLyricBarText(utf8);
  state.noticeHeld = true;
}

void ShowTimedLyricBarNotice(const std::string& utf8, std::uint32_t untilMs) {
  ShowLyricBarText(utf8);
  state.timedNotice = true;
  state.noticeUntilMs = untilMs;
  draw::RequestRedraw();
}

void EndTimedLyricBarNotice(std::uint32_t nowMs) {
  if (!state.timedNotice || static_cast<std::int32_t>(nowMs - state.noticeUntilMs) < 0) return;
  state.timedNotice = false;
  RestoreLyricBar();
  // A run shows its line again (a held notice keeps the bar).
  if (player::PlayState() == player::kPlaying && !state.noticeHeld) {
    DrawLineFrom(0);
    state.wordPosition = 0;
  }
  draw::RequestRedraw();
}

}  // namespace game
