// The program's two Japanese faces as font files, found with fontconfig:
// "標準明朝" is IPAMincho and "標準ゴシック" IPAGothic (Debian's
// fonts-ipafont-mincho and fonts-ipafont-gothic).
#pragma once

#include <SDL_ttf.h>

#include <string>

#include "platform/platform.h"

namespace platform {

// The file of the face, or of fontconfig's nearest match when the face is
// not installed; "" when fontconfig finds nothing at all.
std::string FontFileOf(int face);

// Opens a font file at a point size, close-on-exec so that the programs
// the game starts never inherit it; nullptr on failure.
TTF_Font* OpenFontFile(const std::string& file, int size);

// Lets fontconfig free what it holds (at exit, once no font is open).
void ReleaseFontConfig();

}  // namespace platform
