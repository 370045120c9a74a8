// The start-up check of a windowed program on a desktop with too few
// colours, which offers full screen instead.
#pragma once

namespace app {

inline constexpr int kRequiredDepth = 16;

// 1 to go on (maybe now in full screen), 0 when the user declined.
int CheckWindowedColourDepth();

}  // namespace app
