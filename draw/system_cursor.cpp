#include "draw/system_cursor.h"

#include "platform/platform.h"

namespace app {

static bool systemCursorShown = true;

bool SystemCursorShown() { return systemCursorShown; }

void SetSystemCursorShown(bool shown) {
  if (shown == systemCursorShown) return;
  platform::ShowSystemCursor(shown);
  systemCursorShown = shown;
}

void ResetSystemCursor() { systemCursorShown = true; }

}  // namespace app
