// The main screen's controls: the row of ten buttons worked with the left
// mouse button, and (in computer_keyboard.h) the twenty-key piano.
#pragma once

#include "draw/messages.h"
#include "game/artwork_layout.h"
#include "game/main_command.h"

namespace game {

inline constexpr int kButtonCount = 10;
inline constexpr int kButtonLeft = 10, kButtonTop = 180, kButtonBottom = 210;
inline constexpr int kButtonWidth = 62;
inline constexpr int kButtonRowRight = kButtonLeft + kButtonCount * kButtonWidth;  // 630

// Button numbers.
inline constexpr int kButtonFile = 0;
inline constexpr int kButtonStop = 1;
inline constexpr int kButtonGame = 2;
inline constexpr int kButtonTraining = 3;
inline constexpr int kButtonDemo = 4;
inline constexpr int kButtonPart = 5;
inline constexpr int kButtonSpeed = 6;
inline constexpr int kButtonLoop = 7;
inline constexpr int kButtonRank = 8;
inline constexpr int kButtonExit = 9;

inline constexpr draw::PlayerText kNoSongMessage = {"ファイルが選択されていません。\n曲ファイルを読み込んでください。",
                                                   "No song is loaded.\nPlease load a song file with FILE."};
// GAME and TRAINING follow the chosen part; a song with no notes outside
// the drums has no part to play.
inline constexpr draw::PlayerText kNothingToPlayMessage = {
    "この曲には弾けるパートがありません（ドラム以外の音符がありません）。\nDEMOで曲を聴けます。",
    "This song has no part to play: it has no notes outside the drums.\nDEMO plays the song."};

// SPEED steps down by this much at each click, from full speed to the
// slowest, and then back to full speed.
inline constexpr int kSpeedStepPercent = 10;

// Button n's rectangle on the screen.
constexpr SourceRect ButtonRect(int n) {
  return {kButtonLeft + kButtonWidth * n, kButtonTop, kButtonLeft + kButtonWidth * (n + 1), kButtonBottom};
}

// Once per frame of the main scene: the piano, then the button row (a
// press acts once, however long the button is held). Returns the main
// command.
Command RunMainControls();
// Acts on a left press at (x, y) of the main-scene pointer.
void PressButtonRow(int x, int y);
// Acts as a click on button n does (a button's key takes this path too).
void PressRowButton(int n);
// Stops the run as the stop button does (without drawing that button).
void StopRun();
// The GAME, TRAINING and DEMO buttons drawn raised again.
void DrawModeButtonsRaised();

}  // namespace game
