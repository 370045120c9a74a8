// A module's state joins the program's reset by being declared: every
// module keeps its state in one `base::ModuleState<State> state;` at the top
// of its file, and `base::ResetAllModuleStates()` puts each back to a
// default-constructed `State` (its member initializers are its start-up
// values). tools/check-layers.sh refuses a module state declared otherwise.
#pragma once

#include <functional>

namespace base {

// Notes a way to put one module's state back to its start.
void RegisterStateReset(std::function<void()> reset);
// Every registered module state back to its start, in the order the
// states were constructed.
void ResetAllModuleStates();
// How many module states the program holds.
int ModuleStateCount();

template <typename T>
class ModuleState : public T {
 public:
  ModuleState() {
    RegisterStateReset([this] { Reset(); });
  }
  ModuleState(const ModuleState&) = delete;
  ModuleState& operator=(const ModuleState&) = delete;
  // This module's state alone back to its start.
  void Reset() { static_cast<T&>(*this) = T{}; }
};

}  // namespace base
