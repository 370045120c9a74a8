#include "platform/common/font_files.h"

#include <fontconfig/fontconfig.h>

namespace platform {

std::string FontFileOf(int face) {
  const char* family = face == kFaceMincho ? "IPAMincho" : "IPAGothic";
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

TTF_Font* OpenFontFile(const std::string& file, int size) {
  // "e": the C library opens the file with O_CLOEXEC.
  SDL_RWops* stream = SDL_RWFromFile(file.c_str(), "rbe");
  return stream != nullptr ? TTF_OpenFontRW(stream, 1, size) : nullptr;
}

void ReleaseFontConfig() { FcFini(); }

}  // namespace platform
