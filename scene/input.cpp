#include "scene/input.h"

#include <bitset>

#include "base/module_state.h"
#include "platform/platform.h"
#include "scene/scenes.h"

namespace scene {

// The input state the scenes read and the application's activation.
namespace {
struct State {
  int pointerX = 0;
  int pointerY = 0;
  bool leftButtonHeld = false;
  bool leftPressed = false;
  bool rightPressed = false;
  int lastKey = 0;
  int keyPressed = 0;
  int keyPressedLetter = 0;
  std::bitset<256> keysWentDown;
  bool applicationActive = true;  // a new window starts in front
};
base::ModuleState<State> state;
}  // namespace

void ResetInput() { state.Reset(); }

int PointerX() { return state.pointerX; }
int PointerY() { return state.pointerY; }
bool LeftButtonHeld() { return state.leftButtonHeld; }
void ClearLeftButtonHeld() { state.leftButtonHeld = false; }
bool LeftPressed() { return state.leftPressed; }
void ClearLeftPress() { state.leftPressed = false; }
bool RightPressed() { return state.rightPressed; }
void ClearRightPress() { state.rightPressed = false; }
int LastKey() { return state.lastKey; }
int KeyPressed() { return state.keyPressed; }
int KeyPressedLetter() { return state.keyPressedLetter; }
bool KeyWentDown(int virtualKey) {
  return virtualKey >= 0 && virtualKey < static_cast<int>(state.keysWentDown.size()) && state.keysWentDown[virtualKey];
}
void ClearKeyPress() {
  state.keyPressed = state.keyPressedLetter = 0;
  state.keysWentDown.reset();
}
bool ApplicationActive() { return state.applicationActive; }

void MovePointer(int x, int y) {
  state.pointerX = x;
  state.pointerY = y;
}
void PressLeftButton() { state.leftButtonHeld = state.leftPressed = true; }
void ReleaseLeftButton() { state.leftButtonHeld = false; }
void PressRightButton() { state.rightPressed = true; }
void SetLastKey(int virtualKey) { state.lastKey = virtualKey; }
void PressKey(int virtualKey, int letter) {
  if (virtualKey != state.lastKey) {
    state.keyPressed = virtualKey;
    state.keyPressedLetter = letter;
    if (virtualKey >= 0 && virtualKey < static_cast<int>(state.keysWentDown.size())) state.keysWentDown[virtualKey] = true;
  }
  state.lastKey = virtualKey;
}
void SetApplicationActive(bool active) { state.applicationActive = active; }

}  // namespace scene
