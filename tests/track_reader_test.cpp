// The byte-level reader and writers of track data.
#include <gtest/gtest.h>

#include "smf_builder.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace {

using test::Bytes;

class TrackReader : public ::testing::Test {
 protected:
  void SetUp() override { test::FreshStore(); }

  // Appends bytes to the used part and returns their offset.
  std::int32_t Put(const Bytes& bytes) {
    const std::int32_t at = song::FillOffset();
    song::AppendSongBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return at;
  }

  Bytes Appended(std::int32_t from) {
    const std::uint8_t* p = song::UsedSongBytes(from, song::FillOffset() - from);
    return Bytes(p, p + (song::FillOffset() - from));
  }
};

TEST_F(TrackReader, VariableLengthQuantities) {
  std::int32_t p = Put({0x81, 0x80, 0x00, 0x00, 0x7F});
  const std::int32_t start = p;
  EXPECT_EQ(song::ReadVarLen(p), 16384);
  EXPECT_EQ(p, start + 3);
  EXPECT_EQ(song::ReadVarLen(p), 0);
  EXPECT_EQ(song::ReadVarLen(p), 127);
  EXPECT_EQ(p, start + 5);
}

TEST_F(TrackReader, BigEndianReadsAndWrites) {
  const std::int32_t at = Put({0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00});
  song::WriteBigEndian(at, 4, 398);
  EXPECT_EQ(Appended(at), (Bytes{0x00, 0x00, 0x01, 0x8E, 0x80, 0x00, 0x00, 0x00}));
  EXPECT_EQ(song::ReadBigEndian(at, 4), 398);
  EXPECT_EQ(song::ReadBigEndian(at + 2, 2), 0x018E);
  EXPECT_LT(song::ReadBigEndian(at + 4, 4), 0) << "2^31 and above read as negative";
}

TEST_F(TrackReader, WriteVarLenUsesShortestForm) {
  const std::int32_t at = song::FillOffset();
  for (std::int32_t v : {0, 127, 128, 16383, 480}) song::WriteVarLen(v);
  EXPECT_EQ(Appended(at), (Bytes{0x00, 0x7F, 0x81, 0x00, 0xFF, 0x7F, 0x83, 0x60}));
}

TEST_F(TrackReader, ChannelMessageLengths) {
  EXPECT_EQ(song::ChannelMessageLength(0xC0), 2);
  EXPECT_EQ(song::ChannelMessageLength(0xDF), 2);
  EXPECT_EQ(song::ChannelMessageLength(0xBF), 3);
  EXPECT_EQ(song::ChannelMessageLength(0xE0), 3);
  EXPECT_EQ(song::ChannelMessageLength(0x00), 3);
}

TEST_F(TrackReader, EventsRunningStatusAndMetaTypes) {
  // note-on, running-status note, tempo, sysex, running-status note,
  // program change, running-status program change, end of track.
  std::int32_t p = Put({0x00, 0x90, 0x3C, 0x64, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1,
                        0x20, 0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0x40, 0x64, 0x00,
                        0xC0, 0x05, 0x00, 0x06, 0x81, 0x00, 0xFF, 0x2F, 0x00});
  std::int32_t t = 0;
  struct Expect { std::int32_t length, meta, time; };
  for (Expect e : {Expect{3, 0, 0}, Expect{2, 0, 16}, Expect{6, 81, 16}, Expect{7, 0, 16}, Expect{2, 0, 16},
                   Expect{2, 0, 16}, Expect{1, 0, 16}, Expect{3, 47, 144}}) {
    const std::int32_t length = song::ReadEvent(p, t);
    EXPECT_EQ(length, e.length);
    EXPECT_EQ(song::LastMetaType(), e.meta);
    EXPECT_EQ(t, e.time);
    p += length;
  }
  EXPECT_EQ(song::ReaderRunningStatus(), 0xC0);
}

TEST_F(TrackReader, RunningStatusWithNoStatusSeenIsTwoBytes) {
  song::ResetTrackReader();
  std::int32_t p = Put({0x00, 0x3C, 0x40});
  std::int32_t t = 0;
  EXPECT_EQ(song::ReadEvent(p, t), 2);
}

TEST_F(TrackReader, WalkEndsAtTheEndOfTheUsedData) {
  // A track without an end-of-track, cut off in the middle of a sysex.
  std::int32_t p = Put({0x00, 0x90, 0x3C, 0x64, 0x00, 0xF0, 0x7F, 0x01});
  std::int32_t t = 0;
  p += song::ReadEvent(p, t);
  EXPECT_EQ(song::ReadEvent(p, t), 0);
  EXPECT_EQ(song::LastMetaType(), 47);
  EXPECT_LE(p, song::FillOffset());
  // A delta that runs into the end: the track ends there too.
  std::int32_t q = Put({0x81, 0x81});
  EXPECT_EQ(song::ReadEvent(q, t), 0);
  EXPECT_EQ(song::LastMetaType(), 47);
}

TEST_F(TrackReader, WritersObeyTheCapacity) {
  const std::int32_t room = song::FreeSpaceSize();
  Bytes filler(static_cast<std::size_t>(room - 2), 0);
  song::AppendSongBytes(filler.data(), static_cast<std::int32_t>(filler.size()));
  ASSERT_FALSE(song::SongErrorFlag());
  const std::int32_t fill = song::FillOffset();
  song::WriteVarLen(16383);  // two bytes would reach the capacity
  EXPECT_TRUE(song::SongErrorFlag());
  EXPECT_EQ(song::FillOffset(), fill);
  song::WriteBigEndian(song::kSongBufferSize - 2, 4, 0x01020304);  // half outside: the rest is dropped
  EXPECT_EQ(song::SongByte(song::kSongBufferSize - 1), 0x02);
  EXPECT_EQ(song::SongByte(song::kSongBufferSize), 0);
}

}  // namespace
