// What every fuzz target shares: a private folder that is removed when the
// fuzzer exits, and the program's modules back to their start-up state on
// the deterministic backend before each input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// A folder of the target's own under /tmp, made on the first call and
// removed with everything in it when the process exits normally.
const std::string& PrivateFolder();

// Writes bytes to a file in the private folder; returns its path.
std::string WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Every module of the engine, the shell and the drawing back to start-up,
// the testing backend with `ports` recording MIDI ports.
void ResetProgram(int ports);

}  // namespace fuzz
