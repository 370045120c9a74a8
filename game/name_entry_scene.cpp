#include <algorithm>
#include <cstdio>
#include <cstring>

#include "files/ranking.h"
#include "game/artwork_text.h"
#include "game/judging.h"
#include "game/score_screens.h"
#include "midi/timing.h"
#include "scene/input.h"
#include "scene/scenes.h"

namespace game {

// The new entry's record, the name being typed and its cursor.
static int newRecord = 0;
static char entryBuffer[kNameLength + 1] = "          ";
static int entryCursor = 0;

static constexpr int kKeyBackspace = 0x08;
static constexpr int kKeyReturn = 0x0D;
static constexpr int kKeySpace = 0x20;
static constexpr int kKeyLeft = 0x25;
static constexpr int kKeyRight = 0x27;

const char* EntryBuffer() { return entryBuffer; }
int EntryCursor() { return entryCursor; }
int NewEntryRecord() { return newRecord; }

void ResetNameEntry() {
  newRecord = 0;
  std::memset(entryBuffer, ' ', kNameLength);
  entryCursor = 0;
}

static char* RecordText(int r) { return files::RankingText() + r * files::kRankingRecordSize; }

void PlaceNewScore() {
  const int score = Score();
  newRecord = files::kRankingRecords - 1;
  for (int r = 0; r < files::kRankingRecords; ++r)
    if (files::RankingScore(r) <= score) {
      newRecord = r;
      break;
    }
  for (int r = files::kRankingRecords - 1; r > newRecord; --r) {
    files::SetRankingScore(r, files::RankingScore(r - 1));
    std::memcpy(RecordText(r), RecordText(r - 1), kNameLength);
  }
  std::memset(RecordText(newRecord), ' ', kNameLength);
  std::memset(entryBuffer, ' ', kNameLength);
  files::SetRankingScore(newRecord, score);
  for (int r = 0; r < files::kRankingRecords; ++r) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", static_cast<int>(files::RankingScore(r) % 100000));
    std::memcpy(RecordText(r) + files::kRankingScoreOffset, digits, files::kRankingScoreDigits);
  }
}

// A letter, space or editing key at the cursor.
static void TypeKey(int key) {
  if ((key >= 'A' && key <= 'Z') || key == kKeySpace) {
    entryBuffer[entryCursor] = static_cast<char>(key);
    if (entryCursor < kNameLength - 1) ++entryCursor;
  } else if (key == kKeyLeft) {
    if (entryCursor > 0) --entryCursor;
  } else if (key == kKeyBackspace) {
    if (entryCursor > 0) entryBuffer[--entryCursor] = ' ';
  } else if (key == kKeyRight) {
    if (entryCursor < kNameLength - 1) ++entryCursor;
  }
}

void RunNameEntryScene() {
  if (scene::SceneEntered()) {
    scene::BeginOpeningTransition();
    StartReveal();
    entryCursor = 0;
    PlaceNewScore();
  }
  DrawRankingTable(newRecord);
  DrawArtworkText(50, 370, "INPUT YOUR NAME", 26, 0);
  char shown[kNameLength + 1];
  std::memcpy(shown, entryBuffer, sizeof shown);
  if (midi::BlinkPhase()) shown[entryCursor] = '?';
  DrawArtworkText(120, 420, shown, kNameLength, 1);
  scene::DrawTransitionAndPresent();
  if (StepReveal() || IsNewKey() == 1) return;
  const int key = scene::LastKey();
  TypeKey(key);
  if (key == kKeyReturn) {
    std::memcpy(RecordText(newRecord), entryBuffer, kNameLength);
    files::WriteRankingFile();
    SetScore(0);
    scene::BeginSceneChange(scene::kSceneRanking);
  }
}

}  // namespace game
