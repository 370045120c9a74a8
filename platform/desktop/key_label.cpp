// The keys' names as the player's keyboard layout types them. SDL keeps the
// layout's map: it reads it when the window opens and again when the X
// server says the layout changed, while events are polled.
#include <SDL.h>

#include "platform/desktop/keyboard_map.h"
#include "platform/platform.h"

namespace platform {

namespace {

// The capital of a letter that keyboard layouts type (basic Latin,
// Latin-1, Greek, Cyrillic); any other character as it is.
char32_t Capital(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // à..þ, not ÷
  if (c == 0xFF) return 0x178;                                // ÿ
  if (c == 0x3C2) return 0x3A3;                               // final sigma
  if (c >= 0x3B1 && c <= 0x3C9) return c - 0x20;              // α..ω
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;              // а..я
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;              // ѐ..џ
  return c;
}

std::string Utf8(char32_t c) {
  std::string text;
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
  return text;
}

// A character that shows. SDL gives a key that types none (a dead key,
// Tab) a code of its own, marked with the scancode mask.
bool Visible(SDL_Keycode keycode) {
  if ((keycode & SDLK_SCANCODE_MASK) != 0 || keycode <= 0x20 || keycode > 0x10FFFF) return false;
  const bool control = keycode == 0x7F || (keycode >= 0x80 && keycode <= 0xA0);
  const bool surrogate = keycode >= 0xD800 && keycode <= 0xDFFF;
  return !control && !surrogate;
}

}  // namespace

std::string KeyLabel(int virtualKey) {
  SDL_Scancode keys[2];
  const int count = desktop::ScancodesOf(virtualKey, keys);
  for (int i = 0; i < count; ++i) {
    const SDL_Keycode keycode = SDL_GetKeyFromScancode(keys[i]);
    if (Visible(keycode)) return Utf8(Capital(static_cast<char32_t>(keycode)));
  }
  return count > 0 ? SDL_GetScancodeName(keys[0]) : "";
}

}  // namespace platform
