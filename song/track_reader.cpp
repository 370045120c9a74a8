#include "song/track_reader.h"

#include <algorithm>

#include "song/song_store.h"

namespace song {

// Reader state shared by every walk, whatever track or caller.
namespace {
struct State {
  std::uint8_t readerRunningStatus = 0;
  std::int32_t lastMetaType = 0;
};
State state;
}  // namespace

void ResetTrackReader() {
  state = {};
}

std::int32_t LastMetaType() { return state.lastMetaType; }
std::uint8_t ReaderRunningStatus() { return state.readerRunningStatus; }

std::int32_t ReadVarLen(std::int32_t& position) {
  // Unsigned arithmetic: an absurdly long quantity wraps instead of
  // overflowing; the walk never reads past the used data.
  std::uint32_t value = 0;
  const std::int32_t limit = FillOffset();
  while (position >= 0 && position < limit) {
    std::uint8_t b = SongByte(position++);
    value = value * 128u + (b & 0x7Fu);
    if ((b & 0x80) == 0) break;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t ReadBigEndian(std::int32_t offset, int count) {
  std::uint32_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | SongByte(offset + i);
  return static_cast<std::int32_t>(value);
}

void WriteBigEndian(std::int32_t offset, int count, std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (int i = count - 1; i >= 0; --i) {
    PokeSongByte(offset + i, static_cast<std::uint8_t>(bits & 0xFF));
    bits >>= 8;
  }
}

void WriteVarLen(std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(std::max(value, 0));
  std::uint8_t digits[5];
  int count = 0;
  do {
    digits[count++] = static_cast<std::uint8_t>(bits & 0x7F);
    bits >>= 7;
  } while (bits != 0);
  std::uint8_t encoded[5];
  for (int i = 0; i < count; ++i) {
    encoded[i] = digits[count - 1 - i];
    if (i != count - 1) encoded[i] |= 0x80;
  }
  AppendSongBytes(encoded, count);
}

std::int32_t ChannelMessageLength(std::int32_t status) {
  return (status >= 0xC0 && status <= 0xDF) ? 2 : 3;
}

std::int32_t ReadEvent(std::int32_t& position, std::int32_t& time) {
  state.lastMetaType = 0;
  const std::int32_t limit = FillOffset();
  std::int32_t p = position;
  const std::int32_t delta = ReadVarLen(p);
  time = static_cast<std::int32_t>(static_cast<std::uint32_t>(time) + static_cast<std::uint32_t>(delta));

  // Past the used data there is no event: the track ends here.
  if (p < 0 || p >= limit) {
    position = std::clamp(p, 0, limit);
    state.lastMetaType = kMetaEndOfTrack;
    return 0;
  }
  position = p;
  const std::uint8_t b = SongByte(p);
  std::int64_t length;
  if (b >= 0x80 && b <= 0xEF) {
    length = ChannelMessageLength(b);
    state.readerRunningStatus = b;
  } else if (b < 0x80) {
    length = ChannelMessageLength(state.readerRunningStatus) - 1;
  } else {
    std::int32_t q = p + 1;
    if (b == 0xFF) {
      state.lastMetaType = SongByte(q);
      ++q;
    }
    const std::uint32_t dataLength = static_cast<std::uint32_t>(ReadVarLen(q));
    length = static_cast<std::int64_t>(q) + dataLength - p;
  }
  // An event cut off by the end of the used data ends the track there.
  if (length > static_cast<std::int64_t>(limit) - p) {
    state.lastMetaType = kMetaEndOfTrack;
    return 0;
  }
  return static_cast<std::int32_t>(length);
}

}  // namespace song
