// The bitmaps built into the program (assets/*.bmp, embedded by the build).
#pragma once

#include <string_view>

namespace draw {

// The bytes of the embedded file of that name ("BASC" for BASC.bmp), or an
// empty view when there is none.
std::string_view FindEmbeddedAsset(std::string_view name);

}  // namespace draw
