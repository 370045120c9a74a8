// The count-in and the metronome, each switched on and off by a key of its
// own (F12, F11): the choice is kept in the settings file, and the lyric
// bar says the new state for two seconds.
#pragma once

namespace game {

// The count-in and metronome of the settings read at start-up.
void TakeKeptBeatChoices();
// Once per frame of the main screen: the two keys, and the end of the
// lyric bar's notice.
void RunBeatKeys();

}  // namespace game
