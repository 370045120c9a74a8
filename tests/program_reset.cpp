#include "program_reset.h"

#include "app/module_reset.h"
#include "files/settings.h"
#include "midi/midi_out.h"
#include "platform/testing/testing.h"

namespace test {

void ResetProgram(int ports) {
  midi::CloseMidiOutPorts();  // on the backend that opened them
  platform::testing::Reset();
  platform::testing::SetMidiDevices({.count = ports});
  app::ResetAllModules();
  int error = 0;
  files::ChangeSettings({.view = files::View::Plain, .notesAheadHintShown = true}, error);
}

}  // namespace test
