// The desktop's clock, message boxes, beep and cursor visibility.
#include <SDL.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform {

std::uint32_t TimeMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps like the counter it replaces
}

// Shows a box with the given buttons; returns the id of the button chosen,
// or -1 when the box could not be shown or was closed.
static int ShowBox(Uint32 flags, std::string_view title, std::string_view text, const SDL_MessageBoxButtonData* buttons,
                   int buttonCount) {
  const std::string titleText(title);
  const std::string bodyText(text);
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = desktop::MainWindow();
  data.title = titleText.c_str();
  data.message = bodyText.c_str();
  data.numbuttons = buttonCount;
  data.buttons = buttons;
  int chosen = -1;
  // SDL shows X11 boxes only once its video subsystem is up.
  const bool videoUp = SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!videoUp || SDL_ShowMessageBox(&data, &chosen) != 0) {
    // No display: the terminal still tells the user.
    std::fprintf(stderr, "%s: %s\n", titleText.c_str(), bodyText.c_str());
    return -1;
  }
  return chosen;
}

void ShowMessageBox(BoxKind kind, std::string_view title, std::string_view text) {
  static const SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1, "OK"}};
  const Uint32 flags = kind == BoxKind::Information ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_WARNING;
  ShowBox(flags, title, text, ok, 1);
}

bool AskQuestion(std::string_view title, std::string_view text) {
  static const SDL_MessageBoxButtonData yesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "いいえ (No)"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "はい (Yes)"},
  };
  return ShowBox(SDL_MESSAGEBOX_INFORMATION, title, text, yesNo, 2) == 1;
}

void ShowSystemCursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
