// The main screen's panels: title, position, signature, tempo, verdict,
// score, lyric bar and the mode buttons' bevels. Each drawing raises the
// redraw-request flag.
#pragma once

#include <cstdint>

namespace game {

// Places of the panels on the 640 x 480 screen.
inline constexpr int kTempoX = 227, kCounterY = 140;
inline constexpr int kVerdictX = 320, kVerdictY = 120;
inline constexpr int kScoreX = 480, kScoreTenthsX = 580, kScoreY = 120;

// Redraws the title panel with the current song title.
void DrawTitlePanel();
// Measure (3 digits) and beat (2 digits), 1-based.
void DrawPositionDisplay(int measure, int beat);
// Beats per measure and beat unit of the current time signature.
void DrawSignatureDisplay();
// A number in exactly `digits` small or big digits at (x, y).
void DrawSmallNumber(int x, int y, int digits, int value);
void DrawBigNumber(int x, int y, int digits, int value);
// Verdict 0 Good, 1 LATE, 2 FAST; 3 restores the background.
void DrawVerdictPanel(int x, int y, int verdict);
// The lyric buffer filled by a lyric event, shown on the lyric bar.
void ShowLyricLine();
// Clears the lyric bar's word position and words-left flag.
void ResetLyricBar();
// The GAME, TRAINING and DEMO buttons drawn raised again.
void DrawModeButtonsRaised();

}  // namespace game
