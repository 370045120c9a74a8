#include <cstdio>

#include "base/module_state.h"
#include "draw/colour_order.h"
#include "draw/eldraw.h"
#include "draw/text.h"
#include "files/ranking.h"
#include "game/artwork_text.h"
#include "game/part_button.h"
#include "game/score_screens.h"
#include "game/statistics_look.h"
#include "midi/timing.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// The reveal countdown shared by both score screens.
namespace {
struct State {
  int revealCountdown = 0;
};
base::ModuleState<State> state;
}  // namespace

static constexpr int kRowTop = 100, kRowPitch = 45;
static constexpr int kLabelX = 30, kNameX = 100, kScoreX = 490;
static constexpr int kTableSpacing = 25;
static constexpr int kPartY = 66, kPartHeight = 16, kPartCells = 76;

int RevealCountdown() { return state.revealCountdown; }
void StartReveal() { state.revealCountdown = kRevealFrames; }
bool StepReveal() {
  if (state.revealCountdown <= 0) return false;
  --state.revealCountdown;
  return true;
}

void DrawRankingTable(int blinkingRecord) {
  scene::ClearBackScreen();
  DrawArtworkText(120, 30, "RANKING           SCORE", 26, 0);
  // The part whose ranking this is, centred under the heading.
  const std::string part = ChosenPartTitle(kPartCells);
  draw::BeginText(draw::kFaceGothic, kPartHeight);
  draw::SetTextColors(draw::SwapColourOrder(kLabelBlue), 0, 1);
  draw::PutUtf8Text((draw::kScreenWidth - draw::Utf8Cells(part) * kPartHeight / 2) / 2, kPartY, part.c_str());
  draw::EndText();
  const char* text = files::RankingText();
  for (int r = 0; r < files::kRankingRecords; ++r) {
    const int y = kRowTop + kRowPitch * r;
    const bool shown = r != blinkingRecord || midi::BlinkPhase();
    const char label[3] = {static_cast<char>('1' + r), '.', '\0'};
    if (shown) DrawArtworkText(kLabelX, y, label, 2, kTableSpacing);
    const char* record = text + r * files::kRankingRecordSize;
    DrawArtworkText(kNameX, y, record, kNameLength - state.revealCountdown, 0);
    // The score field 00500 shows as 050.0.
    const char* field = record + files::kRankingScoreOffset;
    const char score[6] = {field[1], field[2], field[3], '.', field[4], '\0'};
    if (shown) DrawArtworkText(kScoreX, y, score, 5 - state.revealCountdown, kTableSpacing);
  }
}

}  // namespace game
