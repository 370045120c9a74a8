#include "draw/text.h"

#include <cstring>

#include "base/module_state.h"
#include "draw/colour_order.h"
#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "platform/platform.h"

namespace draw {

// The open text block's font and colours, and the label colour index.
namespace {
struct State {
  int textFace = kFaceGothic;
  int textHeight = kCellHeight;
  std::uint32_t textColor = 0;       // GDI colours (0x00BBGGRR)
  std::uint32_t backgroundColor = 0xFFFFFF;
  bool transparentBackground = false;
  int labelColor = 0;
};
base::ModuleState<State> state;
}  // namespace

// The label colour table (RGB), index 0..16.
static const std::uint32_t kLabelTable[kLabelColours] = {
    0x000000, 0x0000C0, 0xC00000, 0x000000, 0x000000, 0x000000, 0x000000, 0xC0C0C0, 0x000000,
    0x0000FF, 0xFF0000, 0x000000, 0x007F00, 0x00FFFF, 0x000000, 0x000000, 0x000000};

void BeginText(int face, int height) {
  if (face == kFaceMincho || face == kFaceGothic) state.textFace = face;  // others keep the previous face
  state.textHeight = height;
  state.transparentBackground = false;  // a fresh block draws on an opaque box
}

void SetTextColors(std::uint32_t textColorRef, std::uint32_t backgroundColorRef, int transparent) {
  state.textColor = textColorRef;
  state.backgroundColor = backgroundColorRef;
  if (transparent != 0) state.transparentBackground = true;
}

void PutText(int x, int y, const char* text) {
  Surface& screen = BackScreen();
  if (screen.pixels.empty()) return;
  platform::DrawText(screen.pixels.data(), screen.width, screen.height, screen.width, x, y, text, state.textFace, state.textHeight,
                     SwapColourOrder(state.textColor), SwapColourOrder(state.backgroundColor), !state.transparentBackground);
}

void PutUtf8Text(int x, int y, const char* text) {
  Surface& screen = BackScreen();
  if (screen.pixels.empty()) return;
  platform::DrawUtf8Text(screen.pixels.data(), screen.width, screen.height, screen.width, x, y, text, state.textFace,
                         state.textHeight, SwapColourOrder(state.textColor), SwapColourOrder(state.backgroundColor),
                         !state.transparentBackground);
}

void EndText() {}

void ResetText() {
  state.Reset();
}

void SetLabelColor(int index) { state.labelColor = index; }
int LabelColor() { return state.labelColor; }

void DrawLabel(int x, int y, const char* text, int height) {
  if (state.labelColor < 0 || state.labelColor >= kLabelColours) return;
  BeginText(kFaceGothic, height);
  SetTextColors(SwapColourOrder(kLabelTable[state.labelColor]), SwapColourOrder(kSilver), 0);
  PutText(x, y, text);
  EndText();
  state.labelColor = 0;
  RequestRedraw();
}

void DrawCellText(int column, int row, const char* text) {
  DrawLabel(column * kCellWidth - 1, row * kCellHeight, text, kCellHeight);
}

void DrawCellUtf8Text(int column, int row, const char* text) {
  if (state.labelColor < 0 || state.labelColor >= kLabelColours) return;
  BeginText(kFaceGothic, kCellHeight);
  SetTextColors(SwapColourOrder(kLabelTable[state.labelColor]), SwapColourOrder(kSilver), 0);
  PutUtf8Text(column * kCellWidth - 1, row * kCellHeight, text);
  EndText();
  state.labelColor = 0;
  RequestRedraw();
}

// The bytes of the UTF-8 character at `at` (1 for a byte that begins none)
// and the cells it takes.
static std::size_t Utf8Character(std::string_view text, std::size_t at, int& cells) {
  const auto byte = static_cast<unsigned char>(text[at]);
  const std::size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
  char32_t value = length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
  bool wellFormed = length > 1 && at + length <= text.size();
  for (std::size_t k = 1; wellFormed && k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    wellFormed = (next & 0xC0) == 0x80;
    value = (value << 6) | (next & 0x3F);
  }
  cells = wellFormed && value >= 0x0400 ? 2 : 1;
  return wellFormed ? length : 1;
}

int Utf8Cells(std::string_view text) {
  int total = 0;
  for (std::size_t at = 0; at < text.size();) {
    int cells = 0;
    at += Utf8Character(text, at, cells);
    total += cells;
  }
  return total;
}

std::string CutUtf8ToCells(std::string_view text, int cells) {
  std::size_t at = 0;
  for (int used = 0; at < text.size();) {
    int width = 0;
    const std::size_t length = Utf8Character(text, at, width);
    if (used + width > cells) break;
    used += width;
    at += length;
  }
  return std::string(text.substr(0, at));
}

}  // namespace draw
