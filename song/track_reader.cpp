#include "song/track_reader.h"

#include <algorithm>

#include "song/song_store.h"

namespace song {

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

}  // namespace song
