#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/module_state.h"
#include "files/ranking.h"
#include "game/artwork_text.h"
#include "game/judging.h"
#include "game/score_screens.h"
#include "midi/timing.h"
#include "platform/virtual_keys.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// The new entry's record, the name being typed and its cursor.
namespace {
struct State {
  int newRecord = 0;
  char entryBuffer[kNameLength + 1] = "          ";
  int entryCursor = 0;
};
base::ModuleState<State> state;
}  // namespace

const char* EntryBuffer() { return state.entryBuffer; }
int EntryCursor() { return state.entryCursor; }
int NewEntryRecord() { return state.newRecord; }

static char* RecordText(int r) { return files::RankingText() + r * files::kRankingRecordSize; }

void PlaceNewScore() {
  const int score = Score();
  state.newRecord = files::kRankingRecords - 1;
  for (int r = 0; r < files::kRankingRecords; ++r)
    if (files::RankingScore(r) <= score) {
      state.newRecord = r;
      break;
    }
  for (int r = files::kRankingRecords - 1; r > state.newRecord; --r) {
    files::SetRankingScore(r, files::RankingScore(r - 1));
    std::memcpy(RecordText(r), RecordText(r - 1), kNameLength);
  }
  std::memset(RecordText(state.newRecord), ' ', kNameLength);
  std::memset(state.entryBuffer, ' ', kNameLength);
  files::SetRankingScore(state.newRecord, score);
  for (int r = 0; r < files::kRankingRecords; ++r) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", static_cast<int>(files::RankingScore(r) % 100000));
    std::memcpy(RecordText(r) + files::kRankingScoreOffset, digits, files::kRankingScoreDigits);
  }
}

// The letter the key types on the player's layout (not the letter of its
// place), a space, or an editing key at the cursor.
static void TypeKey(int key, int letter) {
  const int typed = key == platform::vk::kSpace ? ' ' : letter;
  if ((typed >= 'A' && typed <= 'Z') || typed == ' ') {
    state.entryBuffer[state.entryCursor] = static_cast<char>(typed);
    if (state.entryCursor < kNameLength - 1) ++state.entryCursor;
  } else if (key == platform::vk::kLeft) {
    if (state.entryCursor > 0) --state.entryCursor;
  } else if (key == platform::vk::kBackspace) {
    if (state.entryCursor > 0) state.entryBuffer[--state.entryCursor] = ' ';
  } else if (key == platform::vk::kRight) {
    if (state.entryCursor < kNameLength - 1) ++state.entryCursor;
  }
}

void RunNameEntryScene() {
  if (scene::SceneEntered()) {
    scene::BeginOpeningTransition();
    StartReveal();
    state.entryCursor = 0;
    PlaceNewScore();
  }
  DrawRankingTable(state.newRecord);
  DrawArtworkText(50, 370, "INPUT YOUR NAME", 26, 0);
  char shown[kNameLength + 1];
  std::memcpy(shown, state.entryBuffer, sizeof shown);
  if (midi::BlinkPhase()) shown[state.entryCursor] = '?';
  DrawArtworkText(120, 420, shown, kNameLength, 1);
  scene::DrawTransitionAndPresent();
  if (StepReveal()) return;
  const int key = scene::KeyPressed();
  TypeKey(key, scene::KeyPressedLetter());
  if (key == platform::vk::kReturn) {
    std::memcpy(RecordText(state.newRecord), state.entryBuffer, kNameLength);
    files::WriteRankingFile();
    SetScore(0);
    scene::BeginSceneChange(scene::kSceneRanking);
  }
}

}  // namespace game
