// The three ways a run plays a song: the demonstration plays every track;
// training mutes the chosen part and halts at each of its chords until the
// player takes it; a game does the same and also refuses every key but the
// guide's, and judges each press.
#pragma once

namespace player {

enum class PlayMode { Demo, Training, Game };

constexpr bool HaltsAtGuide(PlayMode mode) { return mode != PlayMode::Demo; }
constexpr bool RefusesWrongKeys(PlayMode mode) { return mode == PlayMode::Game; }

}  // namespace player
