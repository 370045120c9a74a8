// The window's events turned into the input state the scenes poll once per
// frame pass (scene/input.h), the application's activation, and the ways to
// the exit question: the Escape key and the window's close button.
#pragma once

#include "platform/platform.h"

namespace app {

// Records one event (called by the main loop between frame passes).
void HandleEvent(const platform::Event& event);
// Last key = the key; Escape leads to the exit question from any scene.
// `letter` is the letter the key types (0: none).
void HandleKeyDown(int virtualKey, int letter);

}  // namespace app
