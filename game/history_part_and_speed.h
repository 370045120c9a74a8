// The part and the speed a game's history line and its chart of scores go
// by. They stand alone here so that the part chooser and the speed control
// can answer them: until then the guide is the second track, played at
// full speed.
#pragma once

namespace game {

// The playback speed of the game in percent.
int HistorySpeedPercent();

}  // namespace game
