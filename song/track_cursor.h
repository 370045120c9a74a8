// A track's read position, time and running status as one small value:
// every reader of a track (the player, the guide, the parts survey, the
// chase, the title and lyric readers, the song scan) steps through it with
// Next(), so every reader decodes events one way.
#pragma once

#include <cstdint>
#include <string>

namespace song {

enum class EventKind : std::uint8_t {
  End,        // the end-of-track, or the end of the song data
  Channel,    // a channel message (80h..EFh), running status applied
  Meta,       // FFh, other than the end of the track
  Exclusive,  // F0h
  System,     // any other byte from F1h up (F7h escapes among them): stepped over
};

// One decoded event. Offsets point into the song store.
struct TrackEvent {
  EventKind kind{};  // End (an initialiser of its own would trip GCC 12 in arrays)
  std::int32_t time = 0;    // ticks from the track's start
  std::int32_t offset = 0;  // its first byte after the delta time
  // Channel: the status in force and the data bytes (data2 is 0 for the
  // messages of two bytes). A data byte is taken as it stands, 80h and up
  // included: a reader that needs a note checks it.
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  // Meta: its type. Meta, Exclusive, System: where the bytes after the
  // length begin and how many there are.
  std::uint8_t metaType = 0;
  std::int32_t dataOffset = 0;
  std::int32_t dataLength = 0;
  // End: the song data ended before an end-of-track (or inside an event).
  bool cutOff = false;

  // Channel: 2 for C0h..DFh, else 3 (the status byte counted).
  int MessageLength() const;
  // A note-on with a velocity above 0.
  bool IsNoteOn() const;
  // A note-off, or a note-on of velocity 0.
  bool IsNoteOff() const;
  int Channel() const { return status & 0x0F; }
};

class TrackCursor {
 public:
  TrackCursor() = default;
  // At the first event of the track whose data begins at `entry`.
  explicit TrackCursor(std::int32_t entry) : position_(entry) {}
  // At the first event of track `slot` (zero-based) of the current song.
  static TrackCursor AtTrack(int slot);

  // Decodes the event at the position and moves past it. At the end the
  // cursor stays where it is and every call gives the End again (with its
  // time). Never reads outside the used song data.
  TrackEvent Next();

  std::int32_t position() const { return position_; }
  std::int32_t time() const { return time_; }
  std::uint8_t runningStatus() const { return runningStatus_; }

 private:
  std::int32_t position_ = 0;
  std::int32_t time_ = 0;
  std::uint8_t runningStatus_ = 0;
  bool ended_ = false;
  TrackEvent end_;
};

// The bytes of a meta event's text, at most `maxBytes` of them, as they
// stand (a zero byte included: a reader that ends text there cuts it).
std::string MetaText(const TrackEvent& event, std::size_t maxBytes);

}  // namespace song
