// The desktop's clock: the monotonic clock in wrapping milliseconds.
#include <ctime>

#include "platform/platform.h"

namespace platform {

std::uint32_t TimeMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);  // wraps like the counter it replaces
}

}  // namespace platform
