#include "draw/system_cursor.h"

#include "base/module_state.h"
#include "platform/platform.h"

namespace draw {

namespace {
struct State {
  bool systemCursorShown = true;
};
base::ModuleState<State> state;
}  // namespace

bool SystemCursorShown() { return state.systemCursorShown; }

void SetSystemCursorShown(bool shown) {
  if (shown == state.systemCursorShown) return;
  platform::ShowSystemCursor(shown);
  state.systemCursorShown = shown;
}

void ResetSystemCursor() { state.Reset(); }

}  // namespace draw
