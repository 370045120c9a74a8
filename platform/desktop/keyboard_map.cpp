#include "platform/desktop/keyboard_map.h"

#include <array>

#include "platform/virtual_keys.h"

namespace platform::desktop {

namespace {

struct Mapping {
  SDL_Scancode scancode;
  int virtualKey;
};

// Beyond letters and digits: the keys the program reads. The four note keys
// right of the letters sit where a Japanese keyboard has ';' ':' '[' ']':
// right of L, right of that, the upper row two right of P, and the home row
// right of ':' (the key left of Enter on ISO and Japanese keyboards, the
// backslash key on ANSI ones).
const Mapping kMappings[] = {
    {SDL_SCANCODE_SEMICOLON, vk::kRightOfL},       {SDL_SCANCODE_APOSTROPHE, vk::kTwoRightOfL},
    {SDL_SCANCODE_RIGHTBRACKET, vk::kTwoRightOfP},  {SDL_SCANCODE_NONUSHASH, vk::kThreeRightOfL},
    {SDL_SCANCODE_BACKSLASH, vk::kThreeRightOfL},  {SDL_SCANCODE_ESCAPE, vk::kEscape},
    {SDL_SCANCODE_RETURN, vk::kReturn},            {SDL_SCANCODE_KP_ENTER, vk::kReturn},
    {SDL_SCANCODE_BACKSPACE, vk::kBackspace},      {SDL_SCANCODE_SPACE, vk::kSpace},
    {SDL_SCANCODE_LEFT, vk::kLeft},                {SDL_SCANCODE_UP, vk::kUp},
    {SDL_SCANCODE_RIGHT, vk::kRight},              {SDL_SCANCODE_DOWN, vk::kDown},
    {SDL_SCANCODE_DELETE, vk::kDelete},            {SDL_SCANCODE_LSHIFT, vk::kShift},
    {SDL_SCANCODE_RSHIFT, vk::kShift},             {SDL_SCANCODE_LCTRL, vk::kControl},
    {SDL_SCANCODE_RCTRL, vk::kControl},            {SDL_SCANCODE_TAB, vk::kTab},
    {SDL_SCANCODE_F6, vk::kF6},                    {SDL_SCANCODE_F7, vk::kF7},
    // The button row's keys, and the count-in's and the metronome's.
    {SDL_SCANCODE_F1, vk::kF1},                    {SDL_SCANCODE_F2, vk::kF2},
    {SDL_SCANCODE_F3, vk::kF3},                    {SDL_SCANCODE_F4, vk::kF4},
    {SDL_SCANCODE_F5, vk::kF5},                    {SDL_SCANCODE_F8, vk::kF8},
    {SDL_SCANCODE_F9, vk::kF9},
    {SDL_SCANCODE_F11, vk::kF11},                  {SDL_SCANCODE_F12, vk::kF12},
};

}  // namespace

int VirtualKeyOf(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
  if (scancode == SDL_SCANCODE_0) return '0';
  for (const Mapping& m : kMappings)
    if (m.scancode == scancode) return m.virtualKey;
  return 0;
}

int LetterTyped(SDL_Keycode keycode, SDL_Scancode scancode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  const bool nonLatinCharacter = keycode >= 0x80 && (keycode & SDLK_SCANCODE_MASK) == 0;
  if (nonLatinCharacter && scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return 'A' + (scancode - SDL_SCANCODE_A);
  return 0;
}

namespace {

// The physical keys of each virtual key (at most two: the backslash and
// the key right of the apostrophe share one), found once.
struct KeysOf {
  SDL_Scancode keys[2];
  int count;
};

const std::array<KeysOf, 256>& ScancodesByVirtualKey() {
  static const std::array<KeysOf, 256> table = [] {
    std::array<KeysOf, 256> built{};
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
      const int key = VirtualKeyOf(static_cast<SDL_Scancode>(scancode));
      if (key <= 0 || key > 255) continue;
      KeysOf& entry = built[static_cast<std::size_t>(key)];
      if (entry.count < 2) entry.keys[entry.count++] = static_cast<SDL_Scancode>(scancode);
    }
    return built;
  }();
  return table;
}

}  // namespace

int ScancodesOf(int virtualKey, SDL_Scancode keys[2]) {
  if (virtualKey <= 0 || virtualKey > 255) return 0;
  const KeysOf& entry = ScancodesByVirtualKey()[static_cast<std::size_t>(virtualKey)];
  for (int i = 0; i < entry.count; ++i) keys[i] = entry.keys[i];
  return entry.count;
}

bool VirtualKeyDown(int virtualKey) {
  SDL_Scancode keys[2];
  const int keyCount = ScancodesOf(virtualKey, keys);
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  for (int i = 0; i < keyCount; ++i)
    if (keys[i] < count && state[keys[i]] != 0) return true;
  return false;
}

}  // namespace platform::desktop
