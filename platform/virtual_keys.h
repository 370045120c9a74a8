// The Windows virtual-key codes the program names keys by: the platform
// turns physical keys into them and the scenes read them. Letters and
// digits are their ASCII capitals ('A', '0').
#pragma once

namespace platform::vk {

inline constexpr int kBackspace = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kDelete = 0x2E;
inline constexpr int kF1 = 0x70;
inline constexpr int kF2 = 0x71;
inline constexpr int kF3 = 0x72;
inline constexpr int kF4 = 0x73;
inline constexpr int kF5 = 0x74;
inline constexpr int kF6 = 0x75;
inline constexpr int kF7 = 0x76;
inline constexpr int kF8 = 0x77;
inline constexpr int kF9 = 0x78;
inline constexpr int kF11 = 0x7A;
// F10 is the system's menu key: it never reaches the game (app/input).
inline constexpr int kF12 = 0x7B;
// The four keys right of the letters, where a Japanese keyboard has
// ';' ':' '[' ']': right of L, right of that, the upper row two right of
// P, and the home row right of ':'.
inline constexpr int kRightOfL = 0xBB;
inline constexpr int kTwoRightOfL = 0xBA;
inline constexpr int kTwoRightOfP = 0xDB;
inline constexpr int kThreeRightOfL = 0xDD;

}  // namespace platform::vk
