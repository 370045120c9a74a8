#include "base/module_state.h"

#include <vector>

namespace base {

// Built on first use: module states register while the program's static
// objects are constructed, in no order this file controls.
static std::vector<std::function<void()>>& Resets() {
  static std::vector<std::function<void()>> resets;
  return resets;
}

void RegisterStateReset(std::function<void()> reset) { Resets().push_back(std::move(reset)); }

void ResetAllModuleStates() {
  for (const auto& reset : Resets()) reset();
}

int ModuleStateCount() { return static_cast<int>(Resets().size()); }

}  // namespace base
