// Text onto RGB565 pixels with SDL2_ttf and the Japanese faces that
// fontconfig finds ("標準ゴシック" is IPAGothic, "標準明朝" IPAMincho). Both
// backends draw text this same way.
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/rgb565.h"

namespace platform {

namespace {

// Open fonts by (face, cell height), kept for the whole run.
std::map<std::pair<int, int>, TTF_Font*> openFonts;

std::string FontFile(int face) {
  const char* family = face == 0 ? "IPAMincho" : "IPAGothic";
  std::string file;
  if (!FcInit()) return file;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<const char*>(path);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return file;
}

// Closes the fonts when the program ends.
void CloseFonts() {
  for (auto& [key, font] : openFonts)
    if (font) TTF_CloseFont(font);
  openFonts.clear();
  if (TTF_WasInit()) TTF_Quit();
  FcFini();
}

// The font whose line height fits the cell.
TTF_Font* FontFor(int face, int cellHeight) {
  const auto key = std::make_pair(face, cellHeight);
  if (auto found = openFonts.find(key); found != openFonts.end()) return found->second;
  TTF_Font* font = nullptr;
  if (openFonts.empty()) std::atexit(CloseFonts);
  if (TTF_WasInit() || TTF_Init() == 0) {
    const std::string file = FontFile(face);
    for (int size = cellHeight; size > 1 && !file.empty(); --size) {
      font = TTF_OpenFont(file.c_str(), size);
      if (font == nullptr || TTF_FontHeight(font) <= cellHeight) break;
      TTF_CloseFont(font);
      font = nullptr;
    }
  }
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

}  // namespace

void DrawText(std::uint16_t* pixels, int width, int height, int pitch, int x, int y, std::string_view text, int face,
              int cellHeight, std::uint32_t colour, std::uint32_t background, bool opaque) {
  TTF_Font* font = FontFor(face, cellHeight);
  const int halfWidth = cellHeight / 2;
  auto plot = [&](int px, int py, std::uint32_t rgb, int alpha) {
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    std::uint16_t& target = pixels[py * pitch + px];
    target = alpha >= 255 ? RgbToRgb565(rgb) : Blend(target, rgb, alpha);
  };
  for (std::size_t i = 0; i < text.size();) {
    const bool doubleByte = IsDBCSLeadByte(static_cast<std::uint8_t>(text[i])) && i + 1 < text.size();
    const std::size_t bytes = doubleByte ? 2 : 1;
    const int cellWidth = doubleByte ? cellHeight : halfWidth;
    if (opaque)
      for (int row = 0; row < cellHeight; ++row)
        for (int column = 0; column < cellWidth; ++column) plot(x + column, y + row, background, 255);
    const std::string glyph = AnsiToUtf8(text.substr(i, bytes));
    SDL_Color ink{static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8), static_cast<Uint8>(colour), 255};
    if (SDL_Surface* rendered = font && glyph != " " ? TTF_RenderUTF8_Blended(font, glyph.c_str(), ink) : nullptr) {
      const auto* argb = static_cast<const std::uint32_t*>(rendered->pixels);
      const int stride = rendered->pitch / 4;
      for (int row = 0; row < std::min(rendered->h, cellHeight); ++row)
        for (int column = 0; column < std::min(rendered->w, cellWidth); ++column) {
          const std::uint32_t p = argb[row * stride + column];
          const int alpha = static_cast<int>(p >> 24);
          if (alpha > 0) plot(x + column, y + row, colour, alpha);
        }
      SDL_FreeSurface(rendered);
    }
    x += cellWidth;
    i += bytes;
  }
}

}  // namespace platform
