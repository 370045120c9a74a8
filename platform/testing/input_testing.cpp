// The testing backend's input: a scripted event queue and key set, the
// keys' names, a settable pointer, and an in-process single-instance guard.
#include <set>

#include "platform/testing/testing.h"
#include "platform/virtual_keys.h"

namespace platform {

// The scripted input and what the program did with the window around it.
static std::deque<Event> eventQueue;
static std::set<int> keysDown;
static std::map<int, std::string> keyLabelsSet;
static bool shiftAtLaunch = false;
static int cursorX = 0;
static int cursorY = 0;
static bool anotherInstance = false;
static bool anotherInstanceAnswers = true;
static bool instanceHeld = false;
static int raiseRequests = 0;
static std::vector<std::string> songsHandedOver;
static std::optional<std::string> requestedSong;
static int waitCount = 0;
static int inputWaits = 0;
static std::uint32_t lastInputWaitMs = 0;
static bool inputMethodDisabled = false;

bool PollEvent(Event& event) {
  if (eventQueue.empty()) return false;
  event = eventQueue.front();
  eventQueue.pop_front();
  return true;
}
void WaitEvent() { ++waitCount; }
void PostCloseRequest() { eventQueue.push_back({EventKind::CloseRequest}); }
bool WaitForInput(std::uint32_t timeoutMs) {
  ++inputWaits;
  lastInputWaitMs = timeoutMs;
  return !eventQueue.empty();
}
bool KeyIsDown(int virtualKey) { return keysDown.count(virtualKey) != 0; }
bool ShiftHeldAtLaunch() { return shiftAtLaunch; }

// A US keyboard's names, as the desktop gives them.
static std::string UsKeyLabel(int virtualKey) {
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9'))
    return std::string(1, static_cast<char>(virtualKey));
  static const std::map<int, std::string> kNames = {
      {vk::kRightOfL, ";"},       {vk::kTwoRightOfL, "'"},  {vk::kTwoRightOfP, "]"}, {vk::kThreeRightOfL, "\\"},
      {vk::kBackspace, "Backspace"}, {vk::kTab, "Tab"},     {vk::kReturn, "Return"}, {vk::kShift, "Left Shift"},
      {vk::kControl, "Left Ctrl"}, {vk::kEscape, "Escape"}, {vk::kSpace, "Space"},   {vk::kLeft, "Left"},
      {vk::kUp, "Up"},             {vk::kRight, "Right"},   {vk::kDown, "Down"},     {vk::kDelete, "Delete"},
      {vk::kF6, "F6"},             {vk::kF7, "F7"},
      {vk::kF1, "F1"},             {vk::kF2, "F2"},         {vk::kF3, "F3"},         {vk::kF4, "F4"},
      {vk::kF5, "F5"},             {vk::kF8, "F8"},         {vk::kF9, "F9"},         {vk::kF11, "F11"},       {vk::kF12, "F12"}};
  const auto named = kNames.find(virtualKey);
  return named == kNames.end() ? "" : named->second;
}

std::string KeyLabel(int virtualKey) {
  const auto set = keyLabelsSet.find(virtualKey);
  return set == keyLabelsSet.end() ? UsKeyLabel(virtualKey) : set->second;
}
void CursorPosition(int& x, int& y) {
  x = cursorX;
  y = cursorY;
}
void DisableInputMethod() { inputMethodDisabled = true; }

InstanceStart AcquireSingleInstance(const char*, const std::string& song) {
  if (anotherInstance) {
    if (!anotherInstanceAnswers) return InstanceStart::NoAnswer;
    ++raiseRequests;
    if (!song.empty()) songsHandedOver.push_back(song);
    return InstanceStart::RunningCopyAsked;
  }
  instanceHeld = true;
  return InstanceStart::OnlyCopy;
}
void ReleaseSingleInstance() { instanceHeld = false; }
bool TakeRequestedSong(std::string& path) {
  if (!requestedSong) return false;
  path = *requestedSong;
  requestedSong.reset();
  return true;
}

namespace testing {

void ResetInput() {
  eventQueue.clear();
  keysDown.clear();
  keyLabelsSet.clear();
  shiftAtLaunch = anotherInstance = instanceHeld = inputMethodDisabled = false;
  anotherInstanceAnswers = true;
  songsHandedOver.clear();
  requestedSong.reset();
  cursorX = cursorY = 0;
  raiseRequests = waitCount = inputWaits = 0;
  lastInputWaitMs = 0;
}

void PushEvent(Event event) {
  event.ms = TimeMs();
  eventQueue.push_back(event);
}
std::size_t PendingEvents() { return eventQueue.size(); }
void SetKeyDown(int virtualKey, bool down) {
  if (down) keysDown.insert(virtualKey);
  else keysDown.erase(virtualKey);
}
void SetKeyLabel(int virtualKey, const std::string& label) { keyLabelsSet[virtualKey] = label; }
void SetShiftHeldAtLaunch(bool held) { shiftAtLaunch = held; }
void SetCursorPosition(int x, int y) {
  cursorX = x;
  cursorY = y;
}
void SetAnotherInstanceRunning(bool running, bool answers) {
  anotherInstance = running;
  anotherInstanceAnswers = answers;
}
int RaiseRequests() { return raiseRequests; }
const std::vector<std::string>& SongsHandedOver() { return songsHandedOver; }
void RequestSongFromSecondCopy(const std::string& path) { requestedSong = path; }
bool InstanceHeld() { return instanceHeld; }
int WaitCount() { return waitCount; }
int InputWaits() { return inputWaits; }
std::uint32_t LastInputWaitMs() { return lastInputWaitMs; }
bool InputMethodDisabled() { return inputMethodDisabled; }

}  // namespace testing
}  // namespace platform
