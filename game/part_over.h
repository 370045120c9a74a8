// A part that ends long before its song: once the chosen part has played
// its last note in a game and the song goes on, the lyric bar says so, and
// Space ends the game as the song's end would (stop does as ever).
#pragma once

#include "report/report.h"

namespace game {

inline constexpr report::PlayerText kPartOverNotice = {
    "パートの演奏は終わりです。スペース（または停止）で結果を表示します。",
    "Your part is over. Space (or the stop button) shows how you played."};

// Once per frame of the main scene.
void RunPartOverNotice();

}  // namespace game
