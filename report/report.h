// The uniform failure report of the engine modules: a warning box owned by
// the main window. Every layer may report; this one needs only the platform.
#pragma once

namespace report {

inline constexpr const char* kErrorTitle = "エラー発生";
// Composed texts are cut to this many bytes (UTF-8, terminator included):
// room for what 256 code-page bytes hold.
inline constexpr int kMessageTextSize = 768;

// Shows "routine : message" in a warning box titled "エラー発生" after the
// system beep; the result code is accepted and not shown. Returns 0, which
// callers return as their own failure value.
int ReportError(const char* routine, const char* message, long result);

// Cuts a text that filled its buffer back to a whole UTF-8 character.
void TrimPartialCharacter(char* text);

}  // namespace report
