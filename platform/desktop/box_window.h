// The message box window the helper process shows: drawn by the program
// itself with its own Japanese face, so that the text reads whatever
// locales the system has; transient for the game's window, with the focus.
#pragma once

namespace platform::desktop {

struct BoxRequest {
  const char* title;     // UTF-8
  const char* text;      // UTF-8; lines end with '\n'
  bool question;         // Yes and No, else OK
  unsigned long parent;  // the game's X window, or 0 before it exists
};

// The answers of RunBoxWindow.
inline constexpr int kBoxNo = 0;  // No, Escape, or the box closed
inline constexpr int kBoxYes = 1; // Yes or OK
inline constexpr int kBoxNotShown = -1;

// Shows the box and returns when the user answered. Return (or Space) takes
// the button with the focus, which starts on Yes (OK); Escape answers No
// (OK in an information box); Tab and the arrow keys move the focus.
int RunBoxWindow(const BoxRequest& request);

}  // namespace platform::desktop
