// The scene machine: which scene runs, the tile-wipe transitions between
// scenes, and the shell's own two scenes (start-up and the exit question).
#pragma once

namespace app {

inline constexpr int kSceneMain = 1;
inline constexpr int kSceneStartUp = 2;
inline constexpr int kSceneNameEntry = 3;
inline constexpr int kSceneRanking = 4;
inline constexpr int kSceneExitQuestion = 8;
inline constexpr int kTransitionSteps = 10;

inline constexpr const char* kExitQuestionJapanese = "プログラムを終了しますか？";
inline constexpr const char* kExitQuestionEnglish = "Do you exit ?";

// A closing wipe to `scene`; the current scene stops running at once.
void BeginSceneChange(int scene);
// The scene runs from the next frame pass, entered, without a wipe.
void ChangeSceneDirectly(int scene);
// An opening wipe over the scene's next ten presentations.
void BeginOpeningTransition();
// Draws the wipe's tile frame (if one runs), steps it, and presents.
void DrawTransitionAndPresent();
// Fills the back screen with black.
void ClearBackScreen();

// One frame pass's scene step: the closing wipe while one runs, else the
// current scene's routine. Then the entered flag is updated.
void RunSceneStep();

void RunStartUpScene();
void RunExitQuestionScene();

int SceneNumber();
int PreviousScene();
bool SceneEntered();
int TransitionStep();
int TransitionDirection();
// The scene a closing wipe installs when it ends.
int NextScene();
bool JapaneseSystem();
// The artwork "BASC", the tile strip "MASKBMP" and the pointers "CUR".
int ArtworkObject();
int TileStripObject();
// True (once) when the last scene step presented a frame.
bool TakePresented();

// Back to the state before start-up: scene 2, previous 0.
void ResetScenes();

}  // namespace app
