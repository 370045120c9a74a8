// The byte-level reader and writers of track data.
#include <gtest/gtest.h>

#include "smf_builder.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
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

TEST_F(TrackReader, TheCursorDecodesEventsWithItsOwnRunningStatus) {
  // note-on, running-status note, tempo, sysex, running-status note,
  // program change, running-status program change, end of track.
  const std::int32_t start = Put({0x00, 0x90, 0x3C, 0x64, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1,
                                  0x20, 0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0x00, 0x40, 0x64, 0x00,
                                  0xC0, 0x05, 0x00, 0x06, 0x81, 0x00, 0xFF, 0x2F, 0x00});
  using K = song::EventKind;
  struct Expect { K kind; std::int32_t time, length; std::uint8_t status, data1, data2, meta; };
  song::TrackCursor cursor(start);
  for (const Expect& x : {Expect{K::Channel, 0, 4, 0x90, 0x3C, 0x64, 0}, Expect{K::Channel, 16, 3, 0x90, 0x3C, 0x00, 0},
                          Expect{K::Meta, 16, 7, 0xFF, 0, 0, 81}, Expect{K::Exclusive, 16, 8, 0xF0, 0, 0, 0},
                          Expect{K::Channel, 16, 3, 0x90, 0x40, 0x64, 0}, Expect{K::Channel, 16, 3, 0xC0, 0x05, 0, 0},
                          Expect{K::Channel, 16, 2, 0xC0, 0x06, 0, 0}, Expect{K::End, 144, 5, 0, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "event at " << cursor.position() - start);
    const std::int32_t before = cursor.position();
    const song::TrackEvent e = cursor.Next();
    EXPECT_EQ(e.kind, x.kind);
    EXPECT_EQ(e.time, x.time);
    EXPECT_EQ(cursor.position() - before, x.length) << "delta time and event";
    if (x.kind == K::Channel) {
      EXPECT_EQ(e.status, x.status);
      EXPECT_EQ(e.data1, x.data1);
      EXPECT_EQ(e.data2, x.data2);
    }
    if (x.kind == K::Meta) {
      EXPECT_EQ(e.metaType, x.meta);
    }
  }
  EXPECT_EQ(cursor.Next().kind, K::End) << "the end stays the end";
  // Each cursor keeps its own running status: a second walk of another
  // track starts without the first one's.
  const std::int32_t other = Put({0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
  song::TrackCursor fresh(other);
  const song::TrackEvent stray = fresh.Next();
  EXPECT_EQ(stray.status, 0) << "data bytes before any status have none";
  EXPECT_EQ(fresh.position() - other, 3) << "and are read as the two data bytes of a three-byte message";
}

TEST_F(TrackReader, WalkEndsAtTheEndOfTheUsedData) {
  // A track without an end-of-track, cut off in the middle of a sysex.
  const std::int32_t p = Put({0x00, 0x90, 0x3C, 0x64, 0x00, 0xF0, 0x7F, 0x01});
  song::TrackCursor cursor(p);
  EXPECT_EQ(cursor.Next().kind, song::EventKind::Channel);
  const song::TrackEvent cut = cursor.Next();
  EXPECT_EQ(cut.kind, song::EventKind::End);
  EXPECT_TRUE(cut.cutOff);
  EXPECT_LE(cursor.position(), song::FillOffset());
  // A delta that runs into the end: the track ends there too.
  song::TrackCursor delta(Put({0x81, 0x81}));
  EXPECT_TRUE(delta.Next().cutOff);
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
