// A fresh engine on the testing backend: recording ports, a manual clock, a
// song installed from built tracks, and frames run at chosen times.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "platform/testing/testing.h"
#include "player/play_mode.h"
#include "smf_builder.h"

namespace test {

struct Sent {
  std::uint32_t time;
  int port;
  Bytes bytes;
  bool operator==(const Sent&) const = default;
};

// "time port hex bytes", for readable failures.
void PrintTo(const Sent& sent, std::ostream* out);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngine(1); }
  void TearDown() override;

  // Every module back to its start-up state, with `ports` recording ports.
  void ResetEngine(int ports);
  // Installs, scans and rewinds a song built from tracks.
  void Load(const std::vector<Track>& tracks, std::uint16_t division = 480);
  // Starts a run in a play mode at the current time, as a mode button does.
  void Start(player::PlayMode mode);
  // Runs the main scene's playback step at each of the given times.
  void FrameAt(std::uint32_t ms);
  void FramesUntil(std::uint32_t ms, std::uint32_t step = 10);
  // A press of a MIDI keyboard's key in a performance, now: the game's own
  // press (judged, the guide note taken and sounded on the part's channel).
  void PressGuideKey(int pressedNote);

  // Messages sent since the last call (Short and Long only).
  std::vector<Sent> TakeSent();
};

}  // namespace test
