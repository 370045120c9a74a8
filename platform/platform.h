// The one boundary between the program and the operating system.
//
// Everything the game needs from the machine goes through these plain
// functions. Two backends implement them and the choice is made at link
// time: platform/desktop (SDL2, FluidSynth, ALSA, iconv, POSIX) for the real
// program and platform/testing (deterministic, scriptable) for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---------------------------------------------------------------------------
// System language and its ANSI code page.
//
// Song texts (titles, lyrics) are byte strings in a code page: CP932
// (Shift-JIS) or Windows-1252. The ANSI code page goes with the system's
// language and decides how song text is cut; a song whose text reads as
// Shift-JIS is shown in Shift-JIS on any system.

enum class CodePage { Cp932, Windows1252 };

// True when the user's language is Japanese: the one answer every text that
// exists in two languages asks. Desktop: the first non-empty of LC_ALL,
// LC_MESSAGES, LANG begins with "ja", read once.
bool SystemLanguageIsJapanese();

// The ANSI code page: the one that goes with the system language, unless
// the user chose one (desktop: TONQUILL_CODEPAGE=932 or 1252).
CodePage AnsiCodePage();

// True when b is the first byte of a double-byte character in the ANSI code
// page (never in Windows-1252). Called whenever song text is cut.
bool IsDBCSLeadByte(std::uint8_t b);
// True when b begins a double-byte character in the code page: in CP932
// 0x81..0x9F and 0xE0..0xFC, in Windows-1252 never.
bool IsLeadByteIn(CodePage page, std::uint8_t b);

// The code page the current song's text is shown in: CP932 once the song
// scan found the song's text to be Shift-JIS, else the ANSI code page.
void SetSongTextIsShiftJis(bool shiftJis);
CodePage SongTextCodePage();

// Converts song text (bytes in the song text's code page) to UTF-8 for the
// terminal and for message boxes. Bytes that do not convert become '?';
// never fails.
std::string AnsiToUtf8(std::string_view ansi);

// ---------------------------------------------------------------------------
// Mouse cursor shape.

enum class CursorShape { Arrow, Wait };

// Shows the wait cursor around long work (song scan, file load) and the
// arrow again afterwards. Harmless before the window exists.
void SetCursorShape(CursorShape shape);

// ---------------------------------------------------------------------------
// Time.

// Milliseconds since some fixed moment, unsigned 32-bit, wrapping about every
// 49.7 days. Read once or a few times per frame; every time value of the
// program comes from here. Desktop: the monotonic clock.
std::uint32_t TimeMs();

// ---------------------------------------------------------------------------
// Message boxes. Texts are UTF-8. Each call returns when the user has closed
// the box; the main loop does not run meanwhile.

enum class BoxKind { Information, Warning, Question };

// Lets the backend serve a command line it started the program with for
// its own purposes (the desktop shows each box from a fresh helper
// process). Called first by main; true when it served it.
bool ServeHelperCommandLine(int argc, char** argv, int& exitCode);

// Shows an information or warning box with a title and an OK button.
void ShowMessageBox(BoxKind kind, std::string_view title, std::string_view text);

// Asks a question with Yes and No; true for Yes. Closing the box is No.
bool AskQuestion(std::string_view title, std::string_view text);

// The system's alert sound, for failure reports only.
void Beep();

// Shows or hides the system mouse cursor over the program's window.
void ShowSystemCursor(bool shown);

// ---------------------------------------------------------------------------
// MIDI output devices.
//
// Devices are numbered from 0 to MidiOutDeviceCount() - 1; kMidiMapper
// names the device the system picks for a program that does not choose.
// All calls come from the main loop; results are 0 for success, otherwise
// a device error code.

struct MidiOutDevice;  // an open device; owned by the backend
inline constexpr int kMidiMapper = -1;

// How many output devices the machine has now.
int MidiOutDeviceCount();

// Opens a device (or the mapper); nullptr when it cannot be opened.
MidiOutDevice* OpenMidiOut(int deviceNumber);

// The device's name for the user, in UTF-8, at most 31 bytes; false when
// the device's capabilities cannot be read.
bool MidiOutName(int deviceNumber, std::string& name);

// Sends a channel or system message of up to 3 bytes packed as the status
// in the lowest byte, then data 1, then data 2.
int SendMidiOutShort(MidiOutDevice* device, std::uint32_t packed);

// Starts sending a system-exclusive message (F0h ... F7h). The device may
// read `bytes` until MidiOutLongDone reports true: the caller must not
// change them before.
int SendMidiOutLong(MidiOutDevice* device, const std::uint8_t* bytes, std::uint32_t length);

// Waits at most timeoutMs for the device to finish with the last long
// message; true when it has (or none was pending).
bool WaitMidiOutLongDone(MidiOutDevice* device, std::uint32_t timeoutMs);

// Waits at most timeoutMs until the device can sound (a synthesizer may
// still be reading its instruments); true when it can.
bool WaitMidiOutReady(MidiOutDevice* device, std::uint32_t timeoutMs);

// Turns off every sounding note and the sustain pedal on all channels.
int ResetMidiOut(MidiOutDevice* device);

// Closes a device opened with OpenMidiOut.
int CloseMidiOut(MidiOutDevice* device);

// How long after a message reaches the device its sound reaches the player,
// in whole milliseconds, or kLatencyUnknown for a device nobody reports it
// for (an external port: the caller then takes the latency the player set).
// Called when a run starts and now and then while it plays; it answers from
// what the sound server last reported and never waits for the server.
// Desktop: the built-in synthesizer on a sound server gives its stream's
// latency as the server reports it (the sound queued for the stream and the
// sink's own delay), measured while the stream plays; FluidSynth's own
// drivers the buffer they keep full; a recording to a file 0; a sequencer
// port is unknown.
inline constexpr int kLatencyUnknown = -1;
int MidiOutLatencyMs(MidiOutDevice* device);

// The start-up probe that decides whether the mapper is tried: succeeds when
// the file exists and reads as a Standard MIDI File.
bool ProbeSequencer(const char* elementPath);

// ---------------------------------------------------------------------------
// MIDI input: the notes of a MIDI keyboard, as events.

struct MidiInputEvent {
  enum Kind { NoteOn, NoteOff, Sustain } kind;
  int channel;   // 0..15
  int note;      // 0..127 (Sustain: 64)
  int value;     // the velocity (NoteOn, NoteOff) or the pedal's value
  // When it arrived, on TimeMs's clock. Desktop: the moment the backend
  // read it from the sequencer; testing: the scripted time it was pushed.
  std::uint32_t ms = 0;
};

// Starts listening to every MIDI source the machine has (and to those that
// appear later). Called once at start-up after the output ports are open;
// a machine without MIDI input simply sends nothing.
void OpenMidiInput();
void CloseMidiInput();
// Takes the next event that arrived, oldest first; false when none waits.
// A note-on of velocity 0 arrives as a NoteOff. The events that arrive
// while nobody takes them are kept up to a small number; past it note-ons
// and pedal presses are dropped, never a note-off or a pedal release.
bool PollMidiInput(MidiInputEvent& event);
// The MIDI sources listened to now, by name (for --list-ports).
int MidiInputCount();
bool MidiInputName(int index, std::string& name);

// ---------------------------------------------------------------------------
// The window and the presentation of frames.

// Creates the program's one window, 640 x 480 in window mode or covering the
// desktop without borders in full screen (the frame is scaled with its
// aspect kept). Called once by the shell; false when no window results
// (desktop: no display). The window's place arrives as a first WindowMoved.
bool CreateMainWindow(const char* title, bool fullScreen, int width, int height);
void DestroyMainWindow();

// The window's icon: width x height pixels of 0xRRGGBB, top row first.
// Called by the shell once the window exists.
void SetWindowIcon(const std::uint32_t* rgb, int width, int height);

// Prepares the presentation of width x height RGB565 frames. Called by the
// screen set-up; false when frames cannot be shown.
bool OpenPresentation(int width, int height);
void ClosePresentation();

// Paces presents to the display's refresh: sleeps until the next refresh
// period begins (desktop: the display's rate, 60 Hz where it does not say;
// a present that comes late goes at once). Input that arrives meanwhile
// ends the sleep, once between two PollEvent calls, so that it is taken
// without waiting for the picture; the frame is shown at its refresh all
// the same (by the main loop's next WaitForInput or the next present), so
// presents never come faster than the refresh. No vertical-blank synchronisation is asked of the display. False drops
// the frame (the presentation is not open).
bool WaitVerticalBlank();

// Shows one frame of RGB565 pixels, `pitch` pixels per row, at once; the
// pacing is WaitVerticalBlank's.
void PresentFrame(const std::uint16_t* pixels, int width, int height, int pitch);

// Bits per pixel of the desktop.
int DesktopBitsPerPixel();

// Keeps the mouse inside a rectangle (right and bottom exclusive), or lets
// it go again. In full screen the rectangle is in the program's 640 x 480
// picture, wherever the scaled picture lies on the desktop; in a window it
// is in screen coordinates (the client area). The confinement follows the
// window when its size changes.
void ConfineCursor(int left, int top, int right, int bottom);
void ReleaseCursor();


// ---------------------------------------------------------------------------
// Input events. Their kinds mirror the window messages the program handles;
// keys are named by Windows virtual-key codes (the desktop maps physical
// key positions to them, so the note keys keep their shape on any layout).
// A key press also tells the letter the key types on the user's layout,
// for the name the player types.

enum class EventKind {
  MouseMove,         // x, y: client coordinates (in full screen, the
                     // 640 x 480 picture's, through its scale)
  LeftDown,
  LeftUp,
  LeftDoubleClick,   // the second press of a quick double click
  RightDown,         // the right button pressed (not the second press of a
                     // quick pair)
  RightDoubleClick,
  KeyDown,           // key: virtual-key code (by position); letter: the
                     // letter it types, 'A' to 'Z', or 0 for none
  KeyUp,
  SystemKey,         // Alt, F10 and Alt combinations
  WindowMoved,       // x, y: the client area's top-left in screen coordinates
  Activated,
  Deactivated,
  UserCloseRequest,  // the window's close button or the window manager's
                     // close (Alt+F4): the program asks before it ends
  CloseRequest,      // close now: PostCloseRequest, or the session ending
                     // (a terminate or interrupt signal)
};

struct Event {
  EventKind kind;
  int x = 0;
  int y = 0;
  int key = 0;
  int letter = 0;
  // When it happened, on TimeMs's clock. Desktop: the moment PollEvent took
  // it from the window system's queue; testing: the scripted time it was
  // pushed.
  std::uint32_t ms = 0;
};

// Takes the next waiting event; false when none is waiting. Called by the
// main loop between frame passes; never blocks.
bool PollEvent(Event& event);
// Sleeps until an event is waiting (an inactive full-screen program).
void WaitEvent();
// Puts a close request at the end of the queue, as the exit path does.
void PostCloseRequest();
// Gives the processor away until input may be waiting (a window event, a
// MIDI input event, a second copy's request) or `timeoutMs` have passed,
// whichever comes first; returns at once when input is waiting already.
// True when it ended for input (which may still turn out to be nothing the
// program handles). Called by the main loop after a frame pass that
// presented nothing. Desktop: blocks on the X server's connection, the
// sequencer and the second copies' socket together.
bool WaitForInput(std::uint32_t timeoutMs);

// Whether a key (virtual-key code) is down now: asked for Shift at a click.
// The keys that play come as events.
bool KeyIsDown(int virtualKey);
// What the key at that virtual key's place types on the player's keyboard
// layout now, in UTF-8, a letter in upper case ("Q" for 'A' on a French
// layout); asked when the main screen draws the keys' names. A key that
// types nothing visible (Tab, a dead key) gives the name of its place as a
// US keyboard prints it ("Tab", "'"); a virtual key no physical key gives,
// "". Cheap enough to ask for every key at every frame: the answer follows
// the player's switch of layout as soon as the events that tell it have
// been polled (desktop: the layout is read when the window opens and
// whenever it changes; before the window exists, the US names).
std::string KeyLabel(int virtualKey);
// Whether Shift is held while the program starts, as far as the desktop
// lets a program see the keyboard before it has a window.
bool ShiftHeldAtLaunch();
// The pointer in screen coordinates, as it is now.
void CursorPosition(int& x, int& y);
// Switches the input method off for the program's window.
void DisableInputMethod();

// ---------------------------------------------------------------------------
// One copy of the program at a time.

enum class InstanceStart {
  OnlyCopy,          // this copy runs (also when no guard can be had: said on the terminal)
  RunningCopyAsked,  // another copy runs and answered that it took the request; this one ends
  NoAnswer,          // another copy runs but did not answer within a second: nothing was taken
};

// Becomes the only running copy, or asks the running copy to bring its
// window to the front and, when `song` is not empty, to open that song (an
// absolute path). Never waits more than about a second.
InstanceStart AcquireSingleInstance(const char* name, const std::string& song);
void ReleaseSingleInstance();

// The song the last second copy asked this copy to open (a newer request
// replaces one not yet taken); false when none is waiting.
bool TakeRequestedSong(std::string& path);

// ---------------------------------------------------------------------------
// Files beside the program.

// Reads the file of that name in the program's directory (a picture there
// wins over the one built into the program); false when there is none, or
// when it is not a regular file or larger than any picture the program
// draws could be.
bool ReadProgramFile(const char* name, std::string& bytes);

// ---------------------------------------------------------------------------
// The open dialog.

// One entry of the dialog's file-type list: the label the user sees and
// the patterns it shows, separated by spaces ("*.mid *.kar"). Patterns match
// whatever the case of the names.
struct FileFilter {
  std::string_view label;
  std::string_view patterns;
};

enum class OpenDialogResult { Chosen, Cancelled, NoChooser };

// Lets the user choose a file to open in a dialog of that title and of a
// size that fits the screen, starting in `startFolder`, with the first
// filter selected. Returns when the dialog is gone: Chosen with the path
// (the bytes the dialog gave, unaltered), Cancelled, or NoChooser when the
// machine has no dialog to show. Called by the FILE button; the main loop
// does not run meanwhile (requests of second copies are still taken), and
// the input that reached the window while the dialog was up is dropped.
OpenDialogResult ChooseFileToOpen(std::string_view title, const FileFilter* filters, int filterCount,
                                  const std::string& startFolder, std::string& path);

// The package a user installs to get the open dialog (for the message that
// says so).
const char* FileChooserPackage();

// The folder of the songs that come with the program (found from the
// program's own place, so a build folder and an installed copy both work);
// empty when there is none.
std::string BundledSongsFolder();

// ---------------------------------------------------------------------------
// Files the program writes.

// Who may use a file that a write creates: whoever the umask lets (a
// ranking beside its song), or its user alone (0600: the files of the
// user's data folder). A file already there keeps its permissions.
enum class NewFileAccess { AsUmaskLets, UserOnly };

// Writes `bytes` as the whole new content of `path`, or leaves the old file
// as it was: the bytes go to a new file in the same folder (unnamed where
// the file system allows it), are flushed to the disk, and that file is
// renamed over `path`, the folder flushed after. The old file's permissions
// are kept; a new file gets those `access` gives. False on failure, with
// the system's error number; no temporary file is left behind, and those a
// killed write left (named "<path>.partial-XXXXXX") are removed first.
// Does not look at what `path` holds: the caller decides it may go.
bool ReplaceFile(const std::string& path, std::string_view bytes, NewFileAccess access, int& errorNumber);

// Removes the temporary files that killed writes of `path` followed by one
// of `endings` left behind ("<path><ending>.partial-XXXXXX", regular files
// only), in one look through the folder.
void RemoveStaleWrites(const std::string& path, const std::vector<std::string>& endings);

// Makes the folder and those above it that are missing, each for its user
// alone (0700); folders already there keep their permissions. False with
// the system's error number when one cannot be made.
bool MakeUserFolders(const std::string& folder, int& errorNumber);

// The error number of a file that is a pipe, a device or a socket (a
// folder gives EISDIR, a symbolic link ELOOP).
inline constexpr int kNotARegularFile = -1;

// Adds `bytes` at the end of the regular file at `path` (made when there is
// none, with the permissions `access` gives) and flushes them to the disk.
// When the file does not end with a line break (a write cut short), one is
// added first, so what is appended starts a line of its own. A symbolic
// link, a pipe or a device is refused. False on failure, with the system's
// error number.
bool AppendToFile(const std::string& path, std::string_view bytes, NewFileAccess access, int& errorNumber);

// Opens an existing file for reading only when it is a regular file: a
// symbolic link is not followed, and a pipe or device is refused at once
// rather than waited on. The descriptor is close-on-exec and blocking
// reads; -1 on failure, with the error number.
int OpenRegularFile(const std::string& path, int& errorNumber);

// The user's folder for the program's own data: $XDG_DATA_HOME/tonquill, or
// ~/.local/share/tonquill; empty when neither can be told.
std::string UserDataFolder();

// The user's folder for the choices the program keeps (its settings file):
// $XDG_CONFIG_HOME/tonquill, or ~/.config/tonquill; empty when neither can
// be told. Asked when the settings are read at start-up and when they are
// written; only names the folder: the caller makes it when it first writes
// there.
std::string UserConfigFolder();

// ---------------------------------------------------------------------------
// Text.

inline constexpr int kFaceMincho = 0;
inline constexpr int kFaceGothic = 1;

// Draws song-text bytes (in SongTextCodePage: CP932 double-byte characters
// as one glyph), converted once per string, with the top-left corner at (x, y) into an RGB565 buffer: cell height `cellHeight`,
// single-byte characters cellHeight / 2 wide and double-byte ones cellHeight
// wide, in the face kFaceMincho or kFaceGothic. Colours are 0xRRGGBB;
// with `opaque` every cell is filled with the background first. Pixels
// outside the buffer are not touched.
void DrawText(std::uint16_t* pixels, int width, int height, int pitch, int x, int y, std::string_view text,
              int face, int cellHeight, std::uint32_t colour, std::uint32_t background, bool opaque);
// The same for the program's own texts, which are UTF-8 whatever the code
// page: a character of the basic Latin, Latin-1 or Greek ranges takes a
// half-width cell, any other (kana, kanji, full-width signs) a full one.
void DrawUtf8Text(std::uint16_t* pixels, int width, int height, int pitch, int x, int y, std::string_view text,
                  int face, int cellHeight, std::uint32_t colour, std::uint32_t background, bool opaque);

}  // namespace platform
