// The lyric bar: the song's current lyric line, with one word highlighted in
// red for every note the player starts.
#pragma once

namespace game {

inline constexpr int kLyricColumn = 2, kLyricRow = 14;
// A word is highlighted from a buffer of this size (terminator included);
// a longer run without a space is highlighted in pieces.
inline constexpr int kWordBufferSize = 256;

// Shows the lyric buffer that a lyric event filled (while playing only).
void ShowLyricLine();
// Highlights the next word (while playing only). After the last word of a
// line the next press only re-arms the line. Lyrics read syllable by
// syllable light by the song's time instead, not by presses.
void AdvanceLyricWord();
// Lights bytes `start` to `start + length` of the shown line, a syllable
// the song has reached (while playing only).
void LightLyricSyllable(int start, int length);
// The word position and the words-left flag back to their start.
void ResetLyricBar();
// The bar's background without any text.
void RestoreLyricBar();

// For tests: where the highlight stands.
int LyricWordPosition();
bool LyricWordsLeft();

}  // namespace game
