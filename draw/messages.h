// Text put in front of the user outside the drawn screen: an information
// message and a yes/no question, each as a box owned by the main window.
// (Failures are reported through report/report.h.)
#pragma once

#include "report/report.h"

namespace draw {

// The player's texts and their language live with the failure report.
using report::InPlayersLanguage;
using report::PlayerText;

inline constexpr PlayerText kMessageTitle = {"メッセージ", "Message"};

// Shows the formatted text, followed by a line break, in a box titled with
// kMessageTitle; the frame stamp restarts when it closes.
void ShowMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Asks the formatted question with Yes and No; true for Yes.
bool AskYesNo(const char* format, ...) __attribute__((format(printf, 1, 2)));

// True while ShowMessage or AskYesNo waits for the user.
bool MessageBoxOpen();

}  // namespace draw
