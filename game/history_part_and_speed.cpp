#include "game/history_part_and_speed.h"

namespace game {

const char* HistoryPartId() { return "t2"; }
int HistorySpeedPercent() { return 100; }

}  // namespace game
