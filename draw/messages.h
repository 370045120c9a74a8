// Text put in front of the user outside the drawn screen: the uniform
// failure report of the engine modules, an information message and a yes/no
// question, each as a box owned by the main window.
#pragma once

namespace draw {

// A text the player reads: Japanese on a Japanese system, English elsewhere.
struct PlayerText {
  const char* japanese;
  const char* english;
};
const char* InPlayersLanguage(const PlayerText& text);

inline constexpr PlayerText kErrorTitle = {"エラー発生", "Error"};
inline constexpr PlayerText kMessageTitle = {"メッセージ", "Message"};
// Composed texts are cut to this many bytes (UTF-8, terminator included):
// room for what 256 code-page bytes hold.
inline constexpr int kMessageTextSize = 768;

// Shows "routine : message" (the message in the player's language) in a
// warning box titled with kErrorTitle after the system beep; the result code
// is accepted and not shown. Returns 0, which callers return as their own
// failure value.
int ReportError(const char* routine, const PlayerText& message, long result);

// Shows the formatted text, followed by a line break, in a box titled with
// kMessageTitle; the frame stamp restarts when it closes.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Asks the formatted question with Yes and No; 1 for Yes, 0 for No.
int AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True while ShowMessage or AskYesNo waits for the user.
bool MessageBoxOpen();

}  // namespace draw
