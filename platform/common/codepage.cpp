// The ANSI code page shared by both backends: lead bytes and conversions.
// The language itself comes from the backend; everything else follows here.
#include <iconv.h>

#include <cerrno>

#include "platform/platform.h"

namespace platform {

namespace {

const char* IconvName(CodePage page) {
  return page == CodePage::Cp932 ? "CP932" : "WINDOWS-1252";
}

// Converts with iconv, replacing each byte that does not convert with '?'.
std::string Convert(std::string_view text, const char* from, const char* to) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (char c : text) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  std::string in(text);
  char* inPtr = in.data();
  std::size_t inLeft = in.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.push_back('?');  // an invalid or incomplete sequence: skip one byte
      ++inPtr;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

CodePage AnsiCodePage() {
  return SystemLanguageIsJapanese() ? CodePage::Cp932 : CodePage::Windows1252;
}

bool IsDBCSLeadByte(std::uint8_t b) {
  if (AnsiCodePage() != CodePage::Cp932) return false;
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string AnsiToUtf8(std::string_view ansi) {
  return Convert(ansi, IconvName(AnsiCodePage()), "UTF-8");
}

}  // namespace platform
