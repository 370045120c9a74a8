// The command line as the program took it at start-up: a request for a
// window, and the song to load.
#pragma once

#include <string>

namespace app {

inline constexpr int kCommandLineSize = 256;

struct CommandLineRequest {
  bool window = false;
  std::string song;
};

// A command line beginning with '-' asks for a window: its first word ("-",
// "--window" or any other) is that request, and what follows the first
// space names the song ("- song.mid"). Any other command line is the song's
// path, spaces and all.
CommandLineRequest ReadCommandLine(const char* line);

// Keeps a copy of the song's path from the command line. One that does not
// fit the buffer (256 bytes or more) is refused: the buffer stays empty and
// false is returned, so no cut-off path is ever taken for a song.
bool SetCommandLine(const char* song);

// The command line buffer (the song's path, or empty): read by the MIDI
// port set-up and the start-up song loading.
const char* CommandLineBuffer();

}  // namespace app
