// The lyric bar: the song's current lyric line, with one word highlighted in
// red for every note the player starts; while the song is stopped, the
// program's own texts (the chosen part), and at the end of a part played
// in a game, a notice.
#pragma once

#include <cstdint>
#include <string>

namespace game {

inline constexpr int kLyricColumn = 2, kLyricRow = 14;
// The bar holds this many cells of 8 pixels: nothing is drawn past them.
inline constexpr int kLyricBarCells = 76;
// A word is highlighted from a buffer of this size (terminator included);
// a longer run without a space is highlighted in pieces.
inline constexpr int kWordBufferSize = 256;

// Shows the lyric buffer that a lyric event filled (while playing only).
// A line longer than the bar shows its start; a word or syllable lit
// beyond the bar shows the line from that word on.
void ShowLyricLine();
// Highlights the next word (while playing only). After the last word of a
// line the next press only re-arms the line. Lyrics read syllable by
// syllable light by the song's time instead, not by presses.
void AdvanceLyricWord();
// Lights bytes `start` to `start + length` of the shown line, a syllable
// the song has reached (while playing only).
void LightLyricSyllable(int start, int length);
// The word position and the words-left flag back to their start, and no
// notice held.
void ResetLyricBar();
// The bar's background without any text.
void RestoreLyricBar();

// Shows one of the program's own texts (UTF-8) in the bar, cut to it; it
// stays until the bar is restored.
void ShowLyricBarText(const std::string& utf8);
// The text ShowLyricBarText shows; empty once the bar was restored.
const std::string& LyricBarText();
// Shows a notice that lyrics arriving later do not replace, until the
// next run starts.
void HoldLyricBarNotice(const std::string& utf8);
bool LyricBarNoticeHeld();

// Shows a notice until `untilMs` (platform::TimeMs): neither the lyrics
// nor the chosen part replace it meanwhile. EndTimedLyricBarNotice, called
// each frame, gives the bar back once that moment has come (with the lyric
// line of a run).
void ShowTimedLyricBarNotice(const std::string& utf8, std::uint32_t untilMs);
void EndTimedLyricBarNotice(std::uint32_t nowMs);
bool TimedLyricBarNoticeShown();

// For tests: where the highlight stands, and the first byte of the line
// the bar shows.
int LyricWordPosition();
bool LyricWordsLeft();
int LyricLineShownFrom();

}  // namespace game
