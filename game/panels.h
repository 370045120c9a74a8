// The main screen's panels, drawn by copying rectangles of the artwork onto
// the back screen: the title, the measure and beat, the time signature, the
// tempo, the timing verdict and the score. Every drawing raises the
// redraw-request flag.
#pragma once

#include "game/artwork_layout.h"

namespace game {

// Places of the panels on the 640 x 480 screen.
inline constexpr int kMeasureX = 17, kBeatX = 77, kCounterY = 140;
inline constexpr int kNumeratorX = 137, kDenominatorX = 180, kTempoX = 227;
inline constexpr int kVerdictX = 320, kVerdictY = 120;
inline constexpr int kVerdictWidth = 112, kVerdictHeight = 40;
inline constexpr int kScoreX = 480, kScoreTenthsX = 580, kScoreY = 120;
inline constexpr int kTitleColumn = 3, kTitleRow = 6;
inline constexpr int kTitleCells = 75;  // the panel's width in cells
inline constexpr int kSmallDigitAdvance = 14;
inline constexpr int kBigDigitAdvance = 28;

// Copies a rectangle of the artwork to (x, y), opaque.
void PutArtwork(int x, int y, const SourceRect& source);
// Restores a rectangle of the screen from the same place of the artwork.
void RestoreBackground(const SourceRect& area);

// The title panel's background and the current song's title on it.
void DrawTitlePanel();
// A number in exactly `digits` digits, most significant first; only its low
// digits when it has more. Small digits are bright while playing and dim
// while stopped.
void DrawSmallNumber(int x, int y, int digits, int value);
void DrawBigNumber(int x, int y, int digits, int value);
// Measure (3 digits) and beat (2 digits), 1-based.
void DrawPositionDisplay(int measure, int beat);
// Beats per measure and beat unit of the time signature in force.
void DrawSignatureDisplay();
void DrawTempoDisplay(int beatsPerMinute);
// Verdict 0 Good, 1 LATE, 2 FAST; 3 restores the panel's background.
void DrawVerdictPanel(int x, int y, int verdict);
// The score in tenths of a percent: three digits, then the tenths digit.
void DrawScore(int score);

}  // namespace game
