// Controls of the deterministic testing backend: what a test sets up and
// what it reads back after the program has run.
#pragma once

#include "platform/platform.h"

namespace platform::testing {

// Back to the defaults: not Japanese, arrow cursor, nothing recorded.
void Reset();

void SetSystemLanguageJapanese(bool japanese);

// The last cursor shape the program asked for, and how many wait cursors.
CursorShape LastCursorShape();
int WaitCursorCount();

}  // namespace platform::testing
