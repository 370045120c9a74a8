// The main scene (scene 1): the screen on which songs are loaded, played,
// practised and played for a score.
#pragma once

namespace game {

// The scene routine, once per frame pass.
void RunMainScene();

}  // namespace game
