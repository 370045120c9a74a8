// Code-page bytes as the characters they hold, shared by the conversion to
// UTF-8 and the text raster of both backends.
#pragma once

#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace platform {

// One character of code-page text: its Unicode value ('?' where the bytes
// do not convert) and whether it took two bytes (and so a full-width cell).
struct TextCharacter {
  char32_t value;
  bool doubleByte;
};

// The characters of code-page text, in one pass. A lead byte with nothing
// after it is one character that does not convert.
std::vector<TextCharacter> DecodeText(std::string_view text, CodePage page);

}  // namespace platform
