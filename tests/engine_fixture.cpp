#include "engine_fixture.h"

#include "game/engine_events.h"
#include "game/judging.h"
#include "game/piano.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "program_reset.h"
#include "song/song_store.h"

namespace test {

void PrintTo(const Sent& sent, std::ostream* out) {
  *out << sent.time << " " << sent.port;
  for (std::uint8_t b : sent.bytes) *out << " " << std::hex << static_cast<int>(b) << std::dec;
}

namespace pt = platform::testing;

void EngineTest::ResetEngine(int ports) {
  ResetProgram(ports);
  song::PrepareSongStore();
  song::InstallEmptySong();
  midi::OpenMidiOutPorts("");
  pt::ClearMidiLog();
}

void EngineTest::TearDown() { midi::CloseMidiOutPorts(); }

void EngineTest::Load(const std::vector<Track>& tracks, std::uint16_t division) {
  InstallAndScan(SmfFile(tracks, division));
  game::ShowHappenings(player::RewindSong());
  pt::ClearMidiLog();
}

void EngineTest::Start(player::PlayMode mode) {
  game::ShowHappenings(player::RewindSong());
  game::ShowHappenings(player::StartPlayback(mode));
}

void EngineTest::FrameAt(std::uint32_t ms) {
  pt::SetTime(ms);
  game::ShowHappenings(player::AdvancePlayback());
}

void EngineTest::FramesUntil(std::uint32_t ms, std::uint32_t step) {
  for (std::uint32_t t = platform::TimeMs() + step; t <= ms; t += step) FrameAt(t);
}

void EngineTest::PressGuideKey(int pressedNote) {
  ASSERT_TRUE(player::IsGuidePerformed());
  std::uint8_t started = 0;
  game::StartPianoNote(game::PianoInput::MidiKeyboard, pressedNote, 64, started, platform::TimeMs());
}

std::vector<Sent> EngineTest::TakeSent() {
  std::vector<Sent> out;
  for (const auto& e : pt::MidiLog())
    if (e.kind == pt::MidiLogEntry::Short || e.kind == pt::MidiLogEntry::Long) out.push_back({e.time, e.device, e.bytes});
  pt::ClearMidiLog();
  return out;
}

}  // namespace test
