// The score screens: name entry (scene 3) after a game whose score makes the
// song's top five, and the ranking (scene 4). Both show the ranking table in
// the artwork's font with a short typewriter-style reveal.
#pragma once

#include "report/report.h"

namespace game {

inline constexpr int kRevealFrames = 10;
inline constexpr int kNameLength = 10;

inline constexpr report::PlayerText kClearQuestion = {"スコアデータをクリアしますか？", "Do you clear score ?"};

// The scene routines, once per frame pass.
void RunNameEntryScene();
void RunRankingScene();

// Puts the score of the game that ended into the ranking: above the first
// kept score it is not below (so above an equal one); the records below move
// down, the last drops out, and every score field is rewritten as five
// digits. The new record's name starts blank. Name entry does this first.
void PlaceNewScore();

// Draws the ranking table on a cleared back screen; the label and score of
// `blinkingRecord` are left out while the blink phase is off (-1: none).
void DrawRankingTable(int blinkingRecord);

// The reveal: 10 when a scene opens, one less each frame; keys and clicks
// do nothing until it reaches 0.
int RevealCountdown();
void StartReveal();
// Lowers the countdown; true while the scene was still revealing.
bool StepReveal();

// For tests: the name being typed, the cursor and the new entry's record.
const char* EntryBuffer();
int EntryCursor();
int NewEntryRecord();

}  // namespace game
