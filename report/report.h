// The uniform failure report of the engine modules: a warning box owned by
// the main window. Every layer may report; this one needs only the platform.
#pragma once

namespace report {

// A text the player reads: Japanese on a Japanese system, English elsewhere.
struct PlayerText {
  const char* japanese;
  const char* english;
};
const char* InPlayersLanguage(const PlayerText& text);

inline constexpr PlayerText kErrorTitle = {"エラー発生", "Error"};
// Composed texts are cut to this many bytes (UTF-8, terminator included):
// room for what 256 code-page bytes hold.
inline constexpr int kMessageTextSize = 768;

// Shows "routine : message" (the message in the player's language) in a
// warning box titled with kErrorTitle after the system beep; the result code
// is accepted and not shown. Returns 0, which callers return as their own
// failure value.
int ReportError(const char* routine, const PlayerText& message, long result);

// Cuts a text that filled its buffer back to a whole UTF-8 character.
void TrimPartialCharacter(char* text);

}  // namespace report
