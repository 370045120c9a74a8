// The scene state the scenes share: which scene runs, whether it was just
// entered, the tile-wipe transitions between scenes, and the artwork the
// start-up scene loads. The dispatch to the scenes themselves is the
// shell's (app/scenes.h).
#pragma once

namespace scene {

inline constexpr int kSceneMain = 1;
inline constexpr int kSceneStartUp = 2;
inline constexpr int kSceneNameEntry = 3;
inline constexpr int kSceneRanking = 4;
inline constexpr int kSceneStatistics = 5;
inline constexpr int kSceneExitQuestion = 8;
inline constexpr int kTransitionSteps = 10;

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

// The frame pass's scene step in three parts around the scene's routine:
// a scene installed directly counts as entered; a closing wipe, while one
// runs, takes the step instead of the scene (true) and installs the next
// scene when it ends; afterwards the entered flag is updated.
void BeginSceneStep();
bool StepClosingWipe();
void EndSceneStep();

// Loads the artwork "BASC", the tile strip "MASKBMP" and the pointers "CUR".
void LoadSceneArtwork();

int SceneNumber();
bool SceneEntered();
int TransitionStep();
int TransitionDirection();
// The scene a closing wipe installs when it ends.
int NextScene();
// The artwork "BASC".
int ArtworkObject();
// True (once) when the last scene step presented a frame.
bool TakePresented();

}  // namespace scene
