// What every fuzz target shares: a private folder that is removed when the
// fuzzer exits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of the target's own under $TMPDIR (or /tmp), made on the first
// call and removed with everything in it when the process exits normally
// (tools/fuzz.sh removes what a crashed target leaves).
const std::string& PrivateFolder();

// Writes bytes to a file in the private folder; returns its path.
std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
