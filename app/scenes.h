// The scene dispatch of the frame pass and the shell's own two scenes
// (start-up and the exit question). The scene state and the wipes between
// scenes are below the scenes, in scene/scenes.h.
#pragma once

#include "report/report.h"

namespace app {

inline constexpr report::PlayerText kExitQuestion = {"プログラムを終了しますか？", "Do you exit ?"};

// One frame pass's scene step: the closing wipe while one runs, else the
// current scene's routine. Then the entered flag is updated.
void RunSceneStep();

// The piano's input that came between two frame passes, played at once on
// the main screen; nothing else of a frame runs.
void PlayPianoBetweenFrames();

// True when the current scene changes only with input: the main screen
// with no song playing (or a run waiting at a guide note for the player)
// and no wipe running. A pass then waits for input rather than for the
// next millisecond.
bool SceneAtRest();

void RunStartUpScene();
void RunExitQuestionScene();

}  // namespace app
