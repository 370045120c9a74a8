// The 128 General MIDI instrument names, by program number (0 to 127), as a
// part is named when its track has no name of its own.
#pragma once

namespace song {

inline constexpr int kGmPrograms = 128;

// The name of a program (taken modulo 128).
const char* GmInstrumentName(int program);

}  // namespace song
