// Text onto RGB565 pixels with SDL2_ttf and the program's Japanese faces.
// Both backends draw text this same way.
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "platform/common/code_page_text.h"
#include "platform/common/font_files.h"
#include "platform/rgb565.h"

namespace platform {

namespace {

// Open fonts by (face, cell height), kept for the whole run.
std::map<std::pair<int, int>, TTF_Font*> openFonts;

// Closes the fonts when the program ends.
void CloseFonts() {
  for (auto& [key, font] : openFonts)
    if (font) TTF_CloseFont(font);
  openFonts.clear();
  if (TTF_WasInit()) TTF_Quit();
  ReleaseFontConfig();
}

// The font whose line height fits the cell.
TTF_Font* FontFor(int face, int cellHeight) {
  const auto key = std::make_pair(face, cellHeight);
  if (auto found = openFonts.find(key); found != openFonts.end()) return found->second;
  TTF_Font* font = nullptr;
  if (openFonts.empty()) std::atexit(CloseFonts);
  if (TTF_WasInit() || TTF_Init() == 0) {
    const std::string file = FontFileOf(face);
    for (int size = cellHeight; size > 1 && !file.empty(); --size) {
      font = OpenFontFile(file, size);
      if (font == nullptr || TTF_FontHeight(font) <= cellHeight) break;
      TTF_CloseFont(font);
      font = nullptr;
    }
  }
  // Full hinting flattens the Gothic face's underscore to nothing at these
  // sizes ("file_name" read "file name"); the light one keeps it.
  if (font != nullptr) TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
  openFonts[key] = font;
  return font;
}

std::uint16_t Blend(std::uint16_t under, std::uint32_t over, int alpha) {
  const int ur = (under >> 11) << 3, ug = ((under >> 5) & 0x3F) << 2, ub = (under & 0x1F) << 3;
  const int orr = static_cast<int>((over >> 16) & 0xFF), og = static_cast<int>((over >> 8) & 0xFF), ob = static_cast<int>(over & 0xFF);
  auto mix = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha) / 255; };
  return RgbToRgb565((static_cast<std::uint32_t>(mix(ur, orr)) << 16) | (static_cast<std::uint32_t>(mix(ug, og)) << 8) |
                     static_cast<std::uint32_t>(mix(ub, ob)));
}

// The characters of UTF-8 text; a byte that does not begin a well-formed
// character is one character that does not convert ('?').
std::vector<TextCharacter> DecodeUtf8(std::string_view text) {
  std::vector<TextCharacter> characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
    char32_t value = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
    bool wellFormed = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; wellFormed && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      wellFormed = (next & 0xC0) == 0x80;
      value = (value << 6) | (next & 0x3F);
    }
    if (!wellFormed) value = U'?';
    characters.push_back({value, value >= 0x0400});
    i += wellFormed ? static_cast<std::size_t>(length) : 1;
  }
  return characters;
}

void DrawCharacters(std::uint16_t* pixels, int width, int height, int pitch, int x, int y,
                    const std::vector<TextCharacter>& characters, int face, int cellHeight, std::uint32_t colour,
                    std::uint32_t background, bool opaque) {
  TTF_Font* font = FontFor(face, cellHeight);
  const int halfWidth = cellHeight / 2;
  auto plot = [&](int px, int py, std::uint32_t rgb, int alpha) {
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    std::uint16_t& target = pixels[py * pitch + px];
    target = alpha >= 255 ? RgbToRgb565(rgb) : Blend(target, rgb, alpha);
  };
  const SDL_Color ink{static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8), static_cast<Uint8>(colour), 255};
  for (const TextCharacter& character : characters) {
    const int cellWidth = character.doubleByte ? cellHeight : halfWidth;
    if (opaque)
      for (int row = 0; row < cellHeight; ++row)
        for (int column = 0; column < cellWidth; ++column) plot(x + column, y + row, background, 255);
    SDL_Surface* rendered = font != nullptr && character.value != U' ' ? TTF_RenderGlyph32_Blended(font, character.value, ink) : nullptr;
    if (rendered != nullptr) {
      const auto* argb = static_cast<const std::uint32_t*>(rendered->pixels);
      const int stride = rendered->pitch / 4;
      const int columns = std::min(rendered->w, cellWidth);
      // A glyph that reaches below the line (the underscore lies just under
      // it) is raised into the cell rather than cut off.
      int lowestInk = -1;
      for (int row = 0; row < rendered->h; ++row)
        for (int column = 0; column < columns; ++column)
          if ((argb[row * stride + column] >> 24) != 0) lowestInk = row;
      const int raise = std::max(0, lowestInk - (cellHeight - 1));
      for (int row = raise; row < std::min(rendered->h, cellHeight + raise); ++row)
        for (int column = 0; column < columns; ++column) {
          const int alpha = static_cast<int>(argb[row * stride + column] >> 24);
          if (alpha > 0) plot(x + column, y + row - raise, colour, alpha);
        }
      SDL_FreeSurface(rendered);
    }
    x += cellWidth;
  }
}

}  // namespace

void DrawText(std::uint16_t* pixels, int width, int height, int pitch, int x, int y, std::string_view text, int face,
              int cellHeight, std::uint32_t colour, std::uint32_t background, bool opaque) {
  DrawCharacters(pixels, width, height, pitch, x, y, DecodeText(text, SongTextCodePage()), face, cellHeight, colour,
                 background, opaque);
}

void DrawUtf8Text(std::uint16_t* pixels, int width, int height, int pitch, int x, int y, std::string_view text,
                  int face, int cellHeight, std::uint32_t colour, std::uint32_t background, bool opaque) {
  DrawCharacters(pixels, width, height, pitch, x, y, DecodeUtf8(text), face, cellHeight, colour, background, opaque);
}

}  // namespace platform
