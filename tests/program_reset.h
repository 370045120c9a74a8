// Puts every module of the program back to its start-up state on the
// deterministic backend, for code that runs the program many times in one
// process (the fuzz targets and the benchmarks).
#pragma once

namespace test {

// Engine, shell and drawing back to start-up; the testing backend reset
// with `ports` recording MIDI ports (none opened yet). The player's kept
// choices (the private home's settings file, rewritten) are the plain view
// and the first start's hint seen: the screen these runs are written for.
void ResetProgram(int ports);

}  // namespace test
