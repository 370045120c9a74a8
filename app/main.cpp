// tonquill: the game. A command line beginning with '-' plays in a window,
// with the song named after it if any; any other names the song to load at
// start-up.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "app/shell.h"
#include "midi/midi_out.h"
#include "platform/platform.h"

namespace {

const char kUsage[] =
    "usage: tonquill [- | --window] [SONG.mid]\n"
    "       tonquill --list-ports [SONG.mid]\n"
    "\n"
    "  SONG.mid      the song to load at start-up (full screen); when the game\n"
    "                is already running, that copy comes to the front and\n"
    "                opens the song instead\n"
    "  -, --window   play in a window (so does any command line beginning\n"
    "                with '-', or Shift held while the game starts), with\n"
    "                SONG.mid when it follows: tonquill - song.mid\n"
    "  --list-ports  print the MIDI output ports by number, and the MIDI\n"
    "                inputs listened to, then exit\n"
    "  --help        print this text and exit\n"
    "  --version     print the version and exit\n"
    "\n"
    "Keys: the home row plays the white keys (A S D F G H J K L ; ' and the key\n"
    "right of it), the row above the black keys (W E T Y U O P ]); Shift\n"
    "plays an octave higher, Ctrl an octave lower; Escape asks to quit.\n"
    "  F1 FILE   F2 DEMO   F3 TRAINING   F4 GAME   F5 PART (Shift+F5 back)\n"
    "  F6 SPEED  F7 LOOP   Shift+F7 while a loop is set: the loop sets its own speed\n"
    "  F8 RANK   F9 measures how late you play (calibration)\n"
    "  F11 metronome on/off   F12 count-in on/off   Space stop\n"
    "  Tab steps the view: plain, key names, key names and the notes ahead\n"
    "  The choices (view, count-in, metronome, offsets) are kept in\n"
    "  $XDG_CONFIG_HOME/tonquill/settings.conf.\n"
    "\n"
    "A MIDI keyboard plays the piano too: every MIDI source of the ALSA\n"
    "sequencer (a USB keyboard, a virtual keyboard) is connected to the\n"
    "game's input port \"Tonquill keyboard input\" at start-up and whenever\n"
    "one appears; its keys play their own notes, and its sustain pedal works.\n";

// The ports as the game numbers them for this command line: the mapper
// comes first only when the command line's song (or redade7.mid) opens.
int ListPorts(const char* song) {
  app::SetCommandLine(song);
  midi::OpenMidiOutPorts(app::CommandLineBuffer());
  if (midi::PortCount() == 0) std::printf("no MIDI output ports: the game plays silently\n");
  for (int port = 0; port < midi::PortCount(); ++port) std::printf("%d  %s\n", port, midi::PortName(port));
  platform::OpenMidiInput();
  for (int input = 0; input < platform::MidiInputCount(); ++input) {
    std::string name;
    if (platform::MidiInputName(input, name)) std::printf("in  %s\n", name.c_str());
  }
  platform::CloseMidiInput();
  midi::CloseMidiOutPorts();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (int exitCode = 0; platform::ServeHelperCommandLine(argc, argv, exitCode)) return exitCode;
  const char* first = argc > 1 ? argv[1] : "";
  if (std::strcmp(first, "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (std::strcmp(first, "--version") == 0) {
    std::printf("tonquill %s\n", TONQUILL_VERSION);
    return 0;
  }
  if (std::strcmp(first, "--list-ports") == 0) return ListPorts(argc > 2 ? argv[2] : "");
  // The command line as one string, as the game has always taken it.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
  return app::RunProgram(commandLine.c_str());
}
