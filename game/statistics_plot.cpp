#include "game/statistics_plot.h"

#include <algorithm>

#include "draw/fill.h"
#include "game/statistics_look.h"
#include "player/guide_track.h"

namespace game {

static constexpr int kDotRadius = 1;  // 3 x 3 dots

static int RowOf(int offsetMs) { return kPlotCentreY + offsetMs * kPlotHalfHeight / kPlotRangeMs; }

PlotPoint PlotPointOf(std::int32_t tick, int offsetMs, std::int32_t firstTick, std::int32_t lastTick) {
  const std::int64_t span = static_cast<std::int64_t>(lastTick) - firstTick;
  const int usable = kPlotRight - kPlotLeft - 1 - 2 * kDotRadius;
  const std::int64_t along = span > 0 ? (static_cast<std::int64_t>(tick) - firstTick) * usable / span : 0;
  const int x = kPlotLeft + kDotRadius + static_cast<int>(std::clamp<std::int64_t>(along, 0, usable));
  const int clipped = std::clamp(offsetMs, -kPlotRangeMs, kPlotRangeMs);
  const int y = std::clamp(RowOf(clipped), kPlotCentreY - kPlotHalfHeight + kDotRadius,
                           kPlotCentreY + kPlotHalfHeight - kDotRadius);
  return {x, y};
}

void DrawPressPlot(const std::vector<JudgedPress>& presses) {
  const int top = kPlotCentreY - kPlotHalfHeight, bottom = kPlotCentreY + kPlotHalfHeight + 1;
  draw::FillBox(kPlotLeft, top, kPlotRight, bottom, kPanelFill);
  const int window = static_cast<int>(player::kTimingWindowMs);
  draw::FillBox(kPlotLeft, RowOf(-window), kPlotRight, RowOf(window) + 1, kGoodBand);
  draw::FillBox(kPlotLeft, kPlotCentreY, kPlotRight, kPlotCentreY + 1, kPanelEdge);
  if (presses.empty()) return;
  const auto [first, last] = std::minmax_element(presses.begin(), presses.end(),
                                                 [](const JudgedPress& a, const JudgedPress& b) { return a.tick < b.tick; });
  for (const JudgedPress& press : presses) {
    const PlotPoint p = PlotPointOf(press.tick, press.offsetMs, first->tick, last->tick);
    const std::uint32_t colour = kVerdictColours[std::clamp(press.verdict, 0, 2)];
    draw::FillBox(p.x - kDotRadius, p.y - kDotRadius, p.x + kDotRadius + 1, p.y + kDotRadius + 1, colour);
  }
}

}  // namespace game
