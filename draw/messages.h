// Text put in front of the user outside the drawn screen: the uniform
// failure report of the engine modules, an information message and a yes/no
// question, each as a box owned by the main window.
#pragma once

namespace draw {

inline constexpr const char* kErrorTitle = "エラー発生";
inline constexpr const char* kMessageTitle = "メッセージ";
// Composed texts are cut to this many bytes (UTF-8, terminator included):
// room for what 256 code-page bytes hold.
inline constexpr int kMessageTextSize = 768;

// Shows "routine : message" in a warning box titled "エラー発生" after the
// system beep; the result code is accepted and not shown. Returns 0, which
// callers return as their own failure value.
int ReportError(const char* routine, const char* message, long result);

// Shows the formatted text, followed by a line break, in a box titled
// "メッセージ"; the frame stamp restarts when it closes.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Asks the formatted question with Yes and No; 1 for Yes, 0 for No.
int AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True while ShowMessage or AskYesNo waits for the user.
bool MessageBoxOpen();

}  // namespace draw
