// When the player hears the song and how they press against it: a note is
// heard the output's latency after its message is sent, and each player
// has a habit of pressing a little early or late, measured by the
// calibration. Judging takes both off each press's offset.
#pragma once

#include <cstdint>
#include <optional>

#include "game/piano.h"

namespace game {

// The port the player hears the song on: the chosen part's, or the first.
int HeardPort();
// Reads how late the song's port is heard again: the built-in synthesizer
// says it; a port nobody reports for takes the latency the player set
// (the settings' external-port latency). Called as a run starts.
void ReadOutputLatency();
// The output latency last read, read again when it is older than a
// second (the read never waits for the sound server).
int OutputLatencyMs();
// The player's measured offset for an input (positive: they press late).
int PlayerOffsetMs(PianoInput input);
struct HeardFigures {
  int outputLatencyMs = 0;
  int playerOffsetMs = 0;
  // What a press's offset loses to be judged against what the player hears.
  int Total() const { return outputLatencyMs + playerOffsetMs; }
};
// The figures a press from this input is judged with; kept as the last
// press's (the statistics show them).
HeardFigures FiguresForPress(PianoInput input);
HeardFigures LastPressFigures();
// The trace's choice of the player's offset for every input, in place of
// the settings (nullopt: the settings again).
void SetPlayerOffsetOverride(std::optional<int> offsetMs);

}  // namespace game
