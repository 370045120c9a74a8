// Language and cursor of the testing backend.
#include "platform/platform.h"
#include "platform/testing/testing.h"

namespace platform {

// The state a test sets and reads back.
static bool systemJapanese = false;
static CursorShape lastCursorShape = CursorShape::Arrow;
static int waitCursorCount = 0;

bool SystemLanguageIsJapanese() { return systemJapanese; }
CodePage AnsiCodePage() { return systemJapanese ? CodePage::Cp932 : CodePage::Windows1252; }

void SetCursorShape(CursorShape shape) {
  lastCursorShape = shape;
  if (shape == CursorShape::Wait) ++waitCursorCount;
}

namespace testing {

void SetSystemLanguageJapanese(bool japanese) { systemJapanese = japanese; }
CursorShape LastCursorShape() { return lastCursorShape; }
int WaitCursorCount() { return waitCursorCount; }

void ResetClockAndBoxes();
void ResetMidi();
void ResetScreen();
void ResetInput();
void ResetFileChooser();
void ResetMidiInput();

void Reset() {
  ResetClockAndBoxes();
  ResetMidi();
  ResetScreen();
  ResetInput();
  ResetFileChooser();
  ResetMidiInput();
  systemJapanese = false;
  SetSongTextIsShiftJis(false);
  lastCursorShape = CursorShape::Arrow;
  waitCursorCount = 0;
}

}  // namespace testing
}  // namespace platform
