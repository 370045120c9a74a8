#include "song/track_cursor.h"

#include <algorithm>

#include "song/song_store.h"
#include "song/track_reader.h"

namespace song {

int TrackEvent::MessageLength() const { return ChannelMessageLength(status); }

bool TrackEvent::IsNoteOn() const { return kind == EventKind::Channel && (status & 0xF0) == 0x90 && data2 != 0; }

bool TrackEvent::IsNoteOff() const {
  return kind == EventKind::Channel && ((status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && data2 == 0));
}

TrackCursor TrackCursor::AtTrack(int slot) { return TrackCursor(TrackEntry(slot)); }

TrackEvent TrackCursor::Next() {
  if (ended_) return end_;
  const std::int32_t limit = FillOffset();
  std::int32_t p = position_;
  const std::int32_t delta = ReadVarLen(p);
  time_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(time_) + static_cast<std::uint32_t>(delta));
  const auto end = [this](bool cutOff) {
    end_ = {};
    end_.time = time_;
    end_.offset = position_;
    end_.cutOff = cutOff;
    ended_ = true;
    return end_;
  };
  // Past the used data there is no event: the track ends here.
  if (p < 0 || p >= limit) {
    position_ = std::clamp(p, 0, limit);
    return end(true);
  }
  position_ = p;
  TrackEvent event;
  event.time = time_;
  event.offset = p;
  const std::uint8_t first = SongByte(p);
  std::int64_t length;
  if (first < 0xF0) {
    const bool hasStatus = first >= 0x80;
    if (hasStatus) runningStatus_ = first;
    event.kind = EventKind::Channel;
    event.status = runningStatus_;
    const std::int32_t data = hasStatus ? p + 1 : p;
    length = (data - p) + event.MessageLength() - 1;
    event.data1 = SongByte(data);
    if (event.MessageLength() == 3) event.data2 = SongByte(data + 1);
  } else {
    std::int32_t q = p + 1;
    event.status = first;
    if (first == 0xFF) {
      event.kind = EventKind::Meta;
      event.metaType = SongByte(q++);
    } else {
      event.kind = first == 0xF0 ? EventKind::Exclusive : EventKind::System;
    }
    const auto dataLength = static_cast<std::uint32_t>(ReadVarLen(q));
    event.dataOffset = q;
    event.dataLength = static_cast<std::int32_t>(std::min<std::uint32_t>(dataLength, INT32_MAX));
    length = static_cast<std::int64_t>(q) + dataLength - p;
  }
  // An event cut off by the end of the used data ends the track there.
  if (length > static_cast<std::int64_t>(limit) - p) return end(true);
  position_ = p + static_cast<std::int32_t>(length);
  if (event.kind == EventKind::Meta && event.metaType == kMetaEndOfTrack) return end(false);
  return event;
}

std::string MetaText(const TrackEvent& event, std::size_t maxBytes) {
  std::string text;
  const std::size_t length = std::min(static_cast<std::size_t>(std::max(event.dataLength, 0)), maxBytes);
  for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>(SongByte(event.dataOffset + static_cast<std::int32_t>(i))));
  return text;
}

}  // namespace song
