// The choices a player keeps from one start of the game to the next, in one
// small text file in the user's settings folder, settings.conf:
//
//   # Tonquill settings: one "key value" a line. ...
//   view names
//   notes-ahead-hint-shown no
//   count-in off
//   metronome off
//   computer-keyboard-offset-ms 0
//   midi-keyboard-offset-ms 0
//   external-port-latency-ms 0
//
// Read once at start-up; written whole whenever a choice changes, never
// half (a new file beside it, flushed and renamed over it). A missing file,
// or a line whose value does not read, leaves that choice at its default.
// Lines this version does not know (a newer version's) are written back as
// they stood, and so is a line of a known key whose value did not read,
// until the player makes that choice anew. The folders the game makes for
// it are the user's alone (0700), and so is a file it makes (0600); those
// that exist keep their permissions.
#pragma once

#include <string>
#include <vector>

namespace files {

// What the main screen shows above the piano keys.
enum class View { Plain, Names, NotesAhead };

struct Settings {
  View view = View::Names;
  bool notesAheadHintShown = false;  // the first start's hint about the notes-ahead key
  bool countIn = false;
  bool metronome = false;
  // The player's measured offsets (positive: they press late) and the
  // latency they set for external MIDI ports, in milliseconds.
  int computerKeyboardOffsetMs = 0;
  int midiKeyboardOffsetMs = 0;
  int externalPortLatencyMs = 0;
  bool operator==(const Settings&) const = default;
};

// Values beyond these are taken as damage, never as a player's choice.
inline constexpr int kLargestOffsetMs = 1000;
inline constexpr int kLargestLatencyMs = 1000;

// What reading the file found, for a line on the terminal.
struct SettingsRead {
  // 0, or the error of a file that is there but could not be read (not a
  // regular file, no permission, too large to be settings): the defaults
  // hold, and that file is never replaced.
  int errorNumber = 0;
  // The numbers (from 1) of the lines that were skipped as damaged.
  std::vector<int> skippedLines;
};

// Reads the file; called once at start-up. A missing file gives the
// defaults and no error.
SettingsRead LoadSettings();

// The choices in force.
const Settings& CurrentSettings();

// Puts `changed` in force and, when a choice differs from before, writes
// the file, making its folders as needed. False with the system's error
// number when it could not be written: the choices hold for this run all
// the same. An offset or latency beyond its limit is brought to the limit.
bool ChangeSettings(const Settings& changed, int& errorNumber);

// Puts `chosen` in force for this run alone, writing nothing: the trace
// tool and the tests choose without the player's file.
void UseSettingsForThisRun(const Settings& chosen);

// The file's path; empty when there is no settings folder.
std::string SettingsPath();

// The defaults, nothing read: the state before LoadSettings.
void ResetSettings();

}  // namespace files
