// What a chase sends again: the latest program, controller value, pitch
// bend and channel pressure of each channel of each port, remembered as
// the chase passes them and sent in the order they were last set. A fixed
// slot per port, channel and kind keeps each message's cost the same
// however many the song holds.
#pragma once

#include <cstdint>

namespace player {

struct ChasedMessage {
  int port;
  std::uint8_t bytes[3];
  int length;
};

// Keeps a channel message sent to `port` when it is one a chase sends
// again (controllers from 120 on are channel modes and are not); it
// replaces the one of its kind kept before and becomes the latest.
void RememberChased(int port, const std::uint8_t* message, int length);

// Hands every kept message to `send`, the one set longest ago first, and
// forgets them all.
void SendChasedInOrder(void (*send)(const ChasedMessage& message));

}  // namespace player
