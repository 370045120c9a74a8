#include "game/heard_timing.h"

#include "base/module_state.h"
#include "files/settings.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "song/song_parts.h"

namespace game {

// The output latency last read and when; the trace's player offset.
namespace {
struct State {
  int outputLatencyMs = 0;
  std::uint32_t readAtMs = 0;
  bool read = false;
  std::optional<int> offsetOverride;
  HeardFigures lastPress;
};
base::ModuleState<State> state;
}  // namespace

// The sound server's answer changes slowly (a headset connected, a buffer
// grown): once a second is often enough, and costs no frame.
static constexpr std::uint32_t kLatencyReadEveryMs = 1000;

// The song is heard through the port of the part the player plays along
// with; without a part, through the first port.
int HeardPort() {
  const int chosen = song::ChosenPart();
  return chosen == song::kNoPart ? 0 : song::Part(chosen).port;
}

void ReadOutputLatency() {
  const int reported = midi::PortLatencyMs(HeardPort());
  if (reported != platform::kLatencyUnknown) state.outputLatencyMs = reported;
  else state.outputLatencyMs = midi::PortCount() > 0 ? files::CurrentSettings().externalPortLatencyMs : 0;
  state.readAtMs = platform::TimeMs();
  state.read = true;
}

int OutputLatencyMs() {
  if (!state.read || platform::TimeMs() - state.readAtMs >= kLatencyReadEveryMs) ReadOutputLatency();
  return state.outputLatencyMs;
}

int PlayerOffsetMs(PianoInput input) {
  if (state.offsetOverride) return *state.offsetOverride;
  const files::Settings& settings = files::CurrentSettings();
  return input == PianoInput::MidiKeyboard ? settings.midiKeyboardOffsetMs : settings.computerKeyboardOffsetMs;
}

HeardFigures FiguresForPress(PianoInput input) {
  state.lastPress = {OutputLatencyMs(), PlayerOffsetMs(input)};
  return state.lastPress;
}

HeardFigures LastPressFigures() { return state.lastPress; }

void SetPlayerOffsetOverride(std::optional<int> offsetMs) { state.offsetOverride = offsetMs; }

}  // namespace game
