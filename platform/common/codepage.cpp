// Code-page text shared by both backends: lead bytes, the song text's code
// page and the conversion of its bytes. Which code page the system uses
// comes from the backend (AnsiCodePage).
#include <iconv.h>

#include <cerrno>
#include <cwchar>

#include "platform/common/code_page_text.h"

namespace platform {

// Whether the current song's text was found to be Shift-JIS.
static bool songTextIsShiftJis = false;

namespace {

// One converter per code page to the C library's wide characters (UCS-4
// on glibc), opened at first use and kept for the whole run.
iconv_t ConverterFor(CodePage page) {
  static iconv_t fromCp932 = reinterpret_cast<iconv_t>(-1);
  static iconv_t fromWindows1252 = reinterpret_cast<iconv_t>(-1);
  iconv_t& converter = page == CodePage::Cp932 ? fromCp932 : fromWindows1252;
  if (converter == reinterpret_cast<iconv_t>(-1))
    converter = iconv_open("WCHAR_T", page == CodePage::Cp932 ? "CP932" : "WINDOWS-1252");
  return converter;
}

// One character's bytes to its Unicode value, '?' when they do not convert.
char32_t ConvertCharacter(iconv_t converter, std::string_view bytes) {
  if (converter == reinterpret_cast<iconv_t>(-1)) return bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80 ? static_cast<char32_t>(bytes[0]) : U'?';
  char in[2] = {};
  bytes.copy(in, sizeof in);
  char* inPtr = in;
  std::size_t inLeft = bytes.size();
  wchar_t out[2] = {};
  char* outPtr = reinterpret_cast<char*>(out);
  std::size_t outLeft = sizeof out;
  const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // no state carries over
  if (result == static_cast<std::size_t>(-1) || inLeft != 0 || outLeft != sizeof out - sizeof(wchar_t)) return U'?';
  return static_cast<char32_t>(out[0]);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

bool IsLeadByteIn(CodePage page, std::uint8_t b) {
  return page == CodePage::Cp932 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
}

std::vector<TextCharacter> DecodeText(std::string_view text, CodePage page) {
  std::vector<TextCharacter> characters;
  characters.reserve(text.size());
  const iconv_t converter = ConverterFor(page);
  for (std::size_t i = 0; i < text.size();) {
    const bool lead = IsLeadByteIn(page, static_cast<std::uint8_t>(text[i]));
    const std::size_t length = lead && i + 1 < text.size() ? 2 : 1;
    const char32_t value = lead && length == 1 ? U'?' : ConvertCharacter(converter, text.substr(i, length));
    characters.push_back({value, length == 2});
    i += length;
  }
  return characters;
}

bool IsDBCSLeadByte(std::uint8_t b) { return IsLeadByteIn(AnsiCodePage(), b); }

void SetSongTextIsShiftJis(bool shiftJis) { songTextIsShiftJis = shiftJis; }

CodePage SongTextCodePage() { return songTextIsShiftJis ? CodePage::Cp932 : AnsiCodePage(); }

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  for (const TextCharacter& c : DecodeText(ansi, SongTextCodePage())) AppendUtf8(out, c.value);
  return out;
}

}  // namespace platform
