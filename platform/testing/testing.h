// Controls of the deterministic testing backend: what a test sets up and
// what it reads back after the program has run.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform::testing {

// Back to the defaults: clock at 0, not Japanese, no devices, no boxes.
void Reset();

void SetSystemLanguageJapanese(bool japanese);

// --- Cursor ---
CursorShape LastCursorShape();
int WaitCursorCount();
// The net number of ShowSystemCursor(true) minus (false) calls.
int CursorShowBalance();

// --- Clock: manual, moved only by the test ---
void SetTime(std::uint32_t ms);
void AdvanceTime(std::uint32_t ms);

// --- Message boxes ---
struct Box {
  BoxKind kind;
  std::string title;
  std::string text;
  std::uint32_t shownAt;
};
const std::vector<Box>& Boxes();
int BeepCount();
// Answers for the next questions, in order; with none left the answer is No.
void ScriptAnswers(std::vector<bool> answers);

// --- MIDI output devices ---
struct MidiDeviceSetup {
  int count = 0;                  // devices 0..count-1
  bool probeSucceeds = false;     // the sequencer probe
  bool mapperOpens = true;
  std::vector<int> failingOpens;  // device numbers whose open fails
  std::vector<int> unreadable;    // device numbers whose name can't be read
  // Long messages the device is still reading after they were sent: each
  // wait for completion lets one of them finish only when this is false.
  bool longMessagesNeverFinish = false;
  // The devices can sound from this time of the testing clock on; a wait
  // for them moves the clock on to it (by the wait's timeout at most).
  std::uint32_t readyAtMs = 0;
  // What MidiOutLatencyMs answers, by device number (kMidiMapper for the
  // mapper); a device not listed sounds at once (0).
  std::map<int, int> latencyMs;
};
void SetMidiDevices(const MidiDeviceSetup& setup);

// One entry per call that reached a device. `device` is the device number
// (kMidiMapper for the mapper).
struct MidiLogEntry {
  enum Kind { Short, Long, Reset, Close, Open } kind;
  std::uint32_t time;
  int device;
  std::vector<std::uint8_t> bytes;  // short: the bytes a receiver reads from the packed value
  std::uint32_t packed;             // short: the packed value
};
const std::vector<MidiLogEntry>& MidiLog();
void ClearMidiLog();
// The element path the last sequencer probe was asked about.
const std::string& LastProbePath();
// Devices opened and not closed.
int OpenMidiDeviceCount();
// How many waits for a long message's completion the program made.
int LongDoneWaits();

// --- MIDI input: events the game polls, sent by the test and kept as the
// desktop keeps what arrives (a full queue drops note-ons) ---
// Each is stamped with the scripted time it is pushed at.
void PushMidiInput(MidiInputEvent event);
std::size_t PendingMidiInput();
bool MidiInputOpen();

// --- Window and presentation ---
void SetPresentationFails(bool fails);
void SetVerticalBlankFails(bool fails);
void SetDesktopDepth(int bits);
// Where ReadProgramFile looks ("" = no files beside the program).
void SetProgramDirectory(const std::string& directory);
int PresentCount();
const std::vector<std::uint16_t>& LastFrame();  // RGB565, 640 x 480
bool SaveLastFrame(const std::string& path);    // as a 24-bit BMP
// Writes a 24-bit BMP whose pixel colours come from `colour(x, y)`
// (0xRRGGBB); false when the file cannot be written.
bool WriteBmp(const std::string& path, int width, int height, const std::function<std::uint32_t(int x, int y)>& colour);
bool WindowOpen();
bool WindowFullScreen();
bool CursorConfined();
// The size of the icon the program gave its window (0 x 0 for none).
int WindowIconWidth();
int WindowIconHeight();

// --- Input ---
// Each is stamped with the scripted time it is pushed at.
void PushEvent(Event event);
std::size_t PendingEvents();
// What KeyIsDown answers (Shift at a click); the keys that play come as
// events.
void SetKeyDown(int virtualKey, bool down);
// What KeyLabel answers for a virtual key; Reset brings back a US layout's
// names.
void SetKeyLabel(int virtualKey, const std::string& label);
void SetShiftHeldAtLaunch(bool held);
void SetCursorPosition(int x, int y);  // screen coordinates
// A copy of the program already runs: AcquireSingleInstance asks it to
// raise its window (counted) and to open the song it is given (kept), or,
// when it does not answer, fails to.
void SetAnotherInstanceRunning(bool running, bool answers = true);
int RaiseRequests();
const std::vector<std::string>& SongsHandedOver();
bool InstanceHeld();
// A second copy asks this one to open a song (TakeRequestedSong gives it).
void RequestSongFromSecondCopy(const std::string& path);
int WaitCount();   // WaitEvent calls: the loop slept instead of a frame
// WaitForInput calls (a pass that presented nothing gave the processor
// away) and the time the last one would have waited at most.
int InputWaits();
std::uint32_t LastInputWaitMs();
bool InputMethodDisabled();

// --- The open dialog ---
// The next dialog answers with this path, or Cancel for nullopt; with no
// answer scripted it is cancelled.
void ScriptFileChoice(std::optional<std::string> path);
// false: the machine has no dialog to show.
void SetFileChooserInstalled(bool installed);
struct OpenDialogCall {
  std::string title;
  std::string startFolder;
  std::vector<std::pair<std::string, std::string>> filters;  // label, patterns
};
const std::vector<OpenDialogCall>& OpenDialogs();
void SetBundledSongsFolder(const std::string& folder);

}  // namespace platform::testing
