// The main scene (scene 1): the screen on which songs are loaded, played,
// practised and played for a score.
#pragma once

namespace game {

// The scene routine, once per frame pass: the whole screen when the scene
// was just entered, the playback step, the controls, the hand-over to the
// other scenes, and a presentation only when something was drawn.
void RunMainScene();

// The pointer and left button as this frame's pass copied them; the
// controls read only these copies.
int MainScenePointerX();
int MainScenePointerY();
bool MainSceneLeftButton();

}  // namespace game
