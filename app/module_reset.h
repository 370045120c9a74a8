// Every module of the program back to its start-up state, for code that
// runs the program many times in one process (the tests, the fuzz targets
// and the benchmarks). Open MIDI ports are closed first.
#pragma once

namespace app {

void ResetAllModules();

}  // namespace app
