// Text on the back screen: labels in a grid of 8 x 16 cells, in a colour
// from the label table, on an opaque silver box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace draw {

inline constexpr int kLabelColours = 17;
inline constexpr std::uint32_t kSilver = 0xC0C0C0;
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 16;
inline constexpr int kFaceMincho = platform::kFaceMincho;
inline constexpr int kFaceGothic = platform::kFaceGothic;

// Opens a text block with a face (0 Mincho, 1 Gothic) and a cell height;
// the text is upright and plain.
void BeginText(int face, int height);
void SetTextColors(std::uint32_t textColorRef, std::uint32_t backgroundColorRef, int transparent);
// Draws code-page bytes with their top-left corner at (x, y).
void PutText(int x, int y, const char* text);
// Draws one of the program's own texts (UTF-8, as the player's-language
// pairs hold them) the same way.
void PutUtf8Text(int x, int y, const char* text);
void EndText();

void SetLabelColor(int index);
int LabelColor();
// One text block in the label colour on silver; the colour returns to 0.
void DrawLabel(int x, int y, const char* text, int height);
// A label at cell (column, row): x = column x 8 - 1, y = row x 16.
void DrawCellText(int column, int row, const char* text);
// The same for one of the program's own texts (UTF-8).
void DrawCellUtf8Text(int column, int row, const char* text);

// The cells a UTF-8 text takes as PutUtf8Text lays it out: a character
// below U+0400 (or a byte that is no character) takes one, any other two.
int Utf8Cells(std::string_view text);
// The longest start of `text` made of whole characters that takes at most
// `cells` cells.
std::string CutUtf8ToCells(std::string_view text, int cells);

void ResetText();

}  // namespace draw
