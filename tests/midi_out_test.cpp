// The MIDI output port table and the three ways of sending.
#include <gtest/gtest.h>

#include <vector>

#include "midi/midi_out.h"
#include "platform/testing/testing.h"

namespace {

namespace pt = platform::testing;
using Kind = pt::MidiLogEntry::Kind;

class MidiOut : public ::testing::Test {
 protected:
  void SetUp() override { pt::Reset(); }
  void TearDown() override { midi::CloseMidiOutPorts(); }

  void Open(pt::MidiDeviceSetup setup, const char* startUpSong = "") {
    pt::SetMidiDevices(setup);
    EXPECT_EQ(midi::OpenMidiOutPorts(startUpSong), 0);
    pt::ClearMidiLog();
  }

  std::vector<pt::MidiLogEntry> Sent(Kind kind) {
    std::vector<pt::MidiLogEntry> out;
    for (const auto& e : pt::MidiLog())
      if (e.kind == kind) out.push_back(e);
    return out;
  }
};

TEST_F(MidiOut, MapperFirstWhenTheProbeSucceeds) {
  Open({.count = 1, .probeSucceeds = true});
  EXPECT_EQ(midi::PortCount(), 2);
  EXPECT_STREQ(midi::PortName(0), "Test mapper");
  EXPECT_STREQ(midi::PortName(1), "Test device 0");
  EXPECT_EQ(pt::LastProbePath(), "redade7.mid");
}

TEST_F(MidiOut, NoMapperWhenTheProbeFails) {
  Open({.count = 1, .probeSucceeds = false}, "/songs/tune.mid");
  EXPECT_EQ(midi::PortCount(), 1);
  EXPECT_STREQ(midi::PortName(0), "Test device 0");
  EXPECT_EQ(pt::LastProbePath(), "/songs/tune.mid");
}

TEST_F(MidiOut, AtMostEightSlots) {
  Open({.count = 12, .probeSucceeds = true});
  EXPECT_EQ(midi::PortCount(), 8);
  EXPECT_STREQ(midi::PortName(7), "Test device 6");
  EXPECT_EQ(pt::OpenMidiDeviceCount(), 8);
  midi::CloseMidiOutPorts();
  Open({.count = 12, .probeSucceeds = false});
  EXPECT_EQ(midi::PortCount(), 8);
  EXPECT_STREQ(midi::PortName(7), "Test device 7");
}

TEST_F(MidiOut, FailingDevicesAreSkippedAndUnreadableOnesClosed) {
  Open({.count = 4, .failingOpens = {0}, .unreadable = {2}});
  EXPECT_EQ(midi::PortCount(), 2);
  EXPECT_STREQ(midi::PortName(0), "Test device 1");
  EXPECT_STREQ(midi::PortName(1), "Test device 3");
  EXPECT_EQ(pt::OpenMidiDeviceCount(), 2) << "the unreadable device was closed again";
}

TEST_F(MidiOut, NoDevicesMeansSilence) {
  Open({.count = 0, .probeSucceeds = true});
  EXPECT_EQ(midi::PortCount(), 0);
  const std::uint8_t noteOn[] = {0x90, 60, 100};
  EXPECT_EQ(midi::SendMidiMessage(0, noteOn, 3), 1);
  EXPECT_TRUE(pt::MidiLog().empty());
}

TEST_F(MidiOut, ShortMessagesArePacked) {
  Open({.count = 1});
  const std::uint8_t noteOn[] = {0x90, 0x3C, 0x64};
  const std::uint8_t stop[] = {0xFC};
  const std::uint8_t program[] = {0xC1, 0x05};
  EXPECT_EQ(midi::SendMidiMessage(0, noteOn, 3), 0);
  EXPECT_EQ(midi::SendMidiMessage(0, stop, 1), 0);
  EXPECT_EQ(midi::SendMidiMessage(0, program, 2), 0);
  EXPECT_EQ(midi::SendMidiMessage(0, stop, 0), 0);
  const auto sent = Sent(Kind::Short);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0].packed, 0x643C90u);
  EXPECT_EQ(sent[1].packed, 0xFCu);
  EXPECT_EQ(sent[2].packed, 0x05C1u);
}

TEST_F(MidiOut, PortAtOrAboveTheCountSendsNothing) {
  Open({.count = 2});
  const std::uint8_t noteOn[] = {0x90, 60, 100};
  const std::uint8_t reset[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  for (int port : {2, -1, midi::kPortSlots}) {
    EXPECT_EQ(midi::SendMidiMessage(port, noteOn, 3), 1) << port;
    EXPECT_EQ(midi::SendShortMessage(0x90, 60, 100, port), 1) << port;
    EXPECT_EQ(midi::SendExclusiveMessage(reset, 6, port), 1) << port;
  }
  EXPECT_EQ(midi::SendMidiMessage(1, noteOn, 3), 0);
  ASSERT_EQ(pt::MidiLog().size(), 1u);
  EXPECT_EQ(pt::MidiLog()[0].device, 1);
}

TEST_F(MidiOut, ExclusiveLimit) {
  Open({.count = 1});
  std::vector<std::uint8_t> message(midi::kExclusiveBufferSize + 1, 0x11);
  message.front() = 0xF0;
  message[midi::kExclusiveBufferSize - 1] = 0xF7;
  EXPECT_EQ(midi::SendMidiMessage(0, message.data(), static_cast<int>(midi::kExclusiveBufferSize)), 0);
  EXPECT_EQ(midi::SendExclusiveMessage(message.data(), midi::kExclusiveBufferSize + 1, 0), 0);
  const auto sent = Sent(Kind::Long);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes.size(), midi::kExclusiveBufferSize);
  EXPECT_EQ(sent[0].bytes.back(), 0xF7);
}

TEST_F(MidiOut, ExclusiveWaitsForThePreviousMessage) {
  Open({.count = 1});
  const std::uint8_t reset[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  midi::SendMidiMessage(0, reset, 6);
  const int waitsBefore = pt::LongDoneWaits();
  midi::SendMidiMessage(0, reset, 6);
  EXPECT_EQ(pt::LongDoneWaits(), waitsBefore + 1);
  EXPECT_EQ(Sent(Kind::Long).size(), 2u);
}

TEST_F(MidiOut, ExclusiveStillInUseIsNotOverwritten) {
  Open({.count = 1, .longMessagesNeverFinish = true});
  const std::uint8_t first[] = {0xF0, 0x01, 0xF7};
  const std::uint8_t second[] = {0xF0, 0x02, 0x03, 0xF7};
  EXPECT_EQ(midi::SendExclusiveMessage(first, 3, 0), 0);
  EXPECT_NE(midi::SendExclusiveMessage(second, 4, 0), 0);
  const auto sent = Sent(Kind::Long);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (std::vector<std::uint8_t>{0xF0, 0x01, 0xF7}));
}

TEST_F(MidiOut, CloseResetsThenClosesEveryPort) {
  Open({.count = 2, .probeSucceeds = true});
  EXPECT_EQ(midi::CloseMidiOutPorts(), 0);
  std::vector<std::pair<Kind, int>> calls;
  for (const auto& e : pt::MidiLog()) calls.emplace_back(e.kind, e.device);
  const std::vector<std::pair<Kind, int>> expected = {
      {Kind::Reset, -1}, {Kind::Close, -1}, {Kind::Reset, 0}, {Kind::Close, 0}, {Kind::Reset, 1}, {Kind::Close, 1}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(midi::PortCount(), 0);
  EXPECT_EQ(pt::OpenMidiDeviceCount(), 0);
}

}  // namespace
