// The statistics scene's look: the artwork's own colours (as
// tools/make_artwork.py paints them) and where each picture lies on the
// 640 x 480 screen.
#pragma once

#include <cstdint>

namespace game {

// Colours, 0xRRGGBB.
inline constexpr std::uint32_t kBackgroundTop = 0x12182A;
inline constexpr std::uint32_t kBackgroundBottom = 0x1E263E;
inline constexpr std::uint32_t kPanelFill = 0x181F34;
inline constexpr std::uint32_t kPanelEdge = 0x46567C;
inline constexpr std::uint32_t kLabelBlue = 0x84C8FF;
inline constexpr std::uint32_t kDigitCream = 0xFFECC8;
inline constexpr std::uint32_t kLitAmber = 0xFFB240;
inline constexpr std::uint32_t kGoodBand = 0x23324A;
inline constexpr std::uint32_t kVerdictColours[3] = {0x60F08C, 0xFF7854, 0x5CC4FF};  // Good, LATE, FAST

// The plot of the presses: offsets from -kPlotRangeMs (top row) to
// +kPlotRangeMs (bottom row) around the centre row; the song from left to
// right.
inline constexpr int kPlotLeft = 56, kPlotRight = 620;  // right exclusive
inline constexpr int kPlotCentreY = 234, kPlotHalfHeight = 72;
inline constexpr int kPlotRangeMs = 200;

// The chart of the last scores: bar i of up to ten, the oldest leftmost.
inline constexpr int kChartLeft = 344, kBarPitch = 27, kBarWidth = 17;
inline constexpr int kChartBaseY = 424, kChartHeight = 60;  // a score of 1000 is 60 rows high
inline constexpr int kChartedGames = 10;

}  // namespace game
