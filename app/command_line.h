// The command line as the program took it at start-up.
#pragma once

namespace app {

inline constexpr int kCommandLineSize = 256;

// Keeps a copy of the command line. A line that does not fit the buffer
// (256 bytes or more) is refused: the buffer stays empty and false is
// returned, so no cut-off path is ever taken for a song.
bool SetCommandLine(const char* line);

// The command line buffer: read by the MIDI port set-up and the start-up
// song loading.
const char* CommandLineBuffer();

void ResetCommandLine();

}  // namespace app
