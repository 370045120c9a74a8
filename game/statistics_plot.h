// The statistics scene's plot of every judged press: its offset (early
// above, late below, clipped to the plot) along the song, over the band of
// Good presses, each press a dot in its verdict's colour.
#pragma once

#include <cstdint>
#include <vector>

#include "game/press_record.h"

namespace game {

struct PlotPoint {
  int x, y;
};
// Where a press's dot is centred: x by its note's tick between the first
// and the last judged note's ticks, y by its offset (truncated toward the
// centre, clipped so the whole dot stays inside the plot).
PlotPoint PlotPointOf(std::int32_t tick, int offsetMs, std::int32_t firstTick, std::int32_t lastTick);

// Draws the plot's ground, its Good band and centre line, and the presses.
void DrawPressPlot(const std::vector<JudgedPress>& presses);

}  // namespace game
