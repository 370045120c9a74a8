// One run of the loaded song on simulated time, as the main screen drives
// it: shared by the song fuzzer and the regression test of what it found.
#pragma once

#include <cstdint>

#include "player/play_mode.h"

namespace fuzz {

inline constexpr std::uint32_t kLongestRunMs = 60 * 60 * 1000;  // one simulated hour

// Rewinds, starts the play mode at simulated time 0 and runs a frame every
// `frameMs` until the song stops (at most an hour), taking each guide note
// as soon as the song halts at it; then stops and rewinds. Returns the time
// of the last frame.
std::uint32_t PlaySongRun(player::PlayMode playMode, std::uint32_t frameMs);

}  // namespace fuzz
