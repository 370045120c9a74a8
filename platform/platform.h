// The one boundary between the program and the operating system.
//
// Everything the game needs from the machine goes through these plain
// functions. Two backends implement them and the choice is made at link
// time: platform/desktop (SDL2, FluidSynth, ALSA, iconv, POSIX) for the real
// program and platform/testing (deterministic, scriptable) for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// ---------------------------------------------------------------------------
// System language and its ANSI code page.
//
// Song texts (titles, lyrics) are byte strings in the system's ANSI code
// page: CP932 (Shift-JIS) on a Japanese system, Windows-1252 otherwise.

enum class CodePage { Cp932, Windows1252 };

// True when the user's language is Japanese. Called at start-up and by the
// questions that exist in two languages. Desktop: the first non-empty of
// LC_ALL, LC_MESSAGES, LANG begins with "ja".
bool SystemLanguageIsJapanese();

// The ANSI code page that goes with the system language.
CodePage AnsiCodePage();

// True when b is the first byte of a double-byte character in the ANSI code
// page (never in Windows-1252). Called whenever song text is cut.
bool IsDBCSLeadByte(std::uint8_t b);

// Converts an ANSI code-page byte string to UTF-8 for the terminal and for
// message boxes. Bytes that do not convert become '?'; never fails.
std::string AnsiToUtf8(std::string_view ansi);

// Converts UTF-8 text to the ANSI code page; characters the code page lacks
// become '?'. Used for the program's own texts that are drawn as bytes.
std::string Utf8ToAnsi(std::string_view utf8);

// ---------------------------------------------------------------------------
// Mouse cursor shape.

enum class CursorShape { Arrow, Wait };

// Shows the wait cursor around long work (song scan, file load) and the
// arrow again afterwards. Harmless before the window exists.
void SetCursorShape(CursorShape shape);

}  // namespace platform
