// What every fuzz target shares: a private home (HOME, the XDG data folders
// and TMPDIR in a folder of the target's own, so that nothing it plays or
// writes reaches the user's home) and a private folder for its inputs in it,
// both removed when the fuzzer exits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of the target's own inside its private home, made on the first
// call. The home is removed with everything in it when the process exits
// normally; one that a crash left behind is removed by the next target that
// starts (and tools/fuzz.sh removes the folder they all live in).
const std::string& PrivateFolder();

// Writes bytes to a file in the private folder; returns its path.
std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
