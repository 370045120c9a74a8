#include "files/settings.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <string_view>

#include "base/module_state.h"
#include "platform/platform.h"

namespace files {

namespace {

enum class Key { View, NotesAheadHintShown, CountIn, Metronome, ComputerKeyboardOffset, MidiKeyboardOffset, ExternalPortLatency };
constexpr std::size_t kKeyCount = 7;

// The keys as the file names them, in the order it lists them.
constexpr std::array<std::string_view, kKeyCount> kKeyNames = {
    "view",      "notes-ahead-hint-shown",  "count-in", "metronome", "computer-keyboard-offset-ms",
    "midi-keyboard-offset-ms", "external-port-latency-ms"};
constexpr std::array<std::string_view, 3> kViewNames = {"plain", "names", "ahead"};

constexpr std::string_view kFileName = "settings.conf";
constexpr std::string_view kHeader =
    "# Tonquill settings: one \"key value\" a line. The game writes this file\n"
    "# whenever a choice changes; lines it does not know are kept, comments not.\n";

// A settings file is a few hundred bytes: a larger one is not taken for one.
constexpr std::size_t kLargestFile = 64 * 1024;

// The choices in force and what of the file is written back as it stood.
struct State {
  Settings settings{};
  // Per key, its line when its value did not read (and no other line of
  // the key did), until the player makes that choice anew.
  std::array<std::string, kKeyCount> unreadLines{};
  // The lines of keys this version does not know, in their order.
  std::vector<std::string> foreignLines{};
  // The error of a file that is there but could not be read, or 0.
  int unreadableError = 0;
};
base::ModuleState<State> state;

bool ReadSwitch(std::string_view text, bool& value) {
  if (text != "on" && text != "yes" && text != "off" && text != "no") return false;
  value = text == "on" || text == "yes";
  return true;
}

bool ReadMs(std::string_view text, int lowest, int highest, int& value) {
  int read = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, read);
  if (text.empty() || error != std::errc{} || stop != end || read < lowest || read > highest) return false;
  value = read;
  return true;
}

bool ReadView(std::string_view text, View& view) {
  const auto found = std::find(kViewNames.begin(), kViewNames.end(), text);
  if (found == kViewNames.end()) return false;
  view = static_cast<View>(found - kViewNames.begin());
  return true;
}

// Reads `text` into the choice `key` names; false, the choice untouched,
// when it does not read.
bool ReadValue(Key key, std::string_view text, Settings& settings) {
  switch (key) {
    case Key::View: return ReadView(text, settings.view);
    case Key::NotesAheadHintShown: return ReadSwitch(text, settings.notesAheadHintShown);
    case Key::CountIn: return ReadSwitch(text, settings.countIn);
    case Key::Metronome: return ReadSwitch(text, settings.metronome);
    case Key::ComputerKeyboardOffset:
      return ReadMs(text, -kLargestOffsetMs, kLargestOffsetMs, settings.computerKeyboardOffsetMs);
    case Key::MidiKeyboardOffset: return ReadMs(text, -kLargestOffsetMs, kLargestOffsetMs, settings.midiKeyboardOffsetMs);
    case Key::ExternalPortLatency: return ReadMs(text, 0, kLargestLatencyMs, settings.externalPortLatencyMs);
  }
  return false;
}

std::string ValueText(Key key, const Settings& settings) {
  switch (key) {
    case Key::View: return std::string(kViewNames[static_cast<std::size_t>(settings.view)]);
    case Key::NotesAheadHintShown: return settings.notesAheadHintShown ? "yes" : "no";
    case Key::CountIn: return settings.countIn ? "on" : "off";
    case Key::Metronome: return settings.metronome ? "on" : "off";
    case Key::ComputerKeyboardOffset: return std::to_string(settings.computerKeyboardOffsetMs);
    case Key::MidiKeyboardOffset: return std::to_string(settings.midiKeyboardOffsetMs);
    case Key::ExternalPortLatency: return std::to_string(settings.externalPortLatencyMs);
  }
  return "";
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A line with control bytes is no one's setting: a damaged file.
bool HoldsControlBytes(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) { return (c >= 0 && c < 0x20 && c != '\t') || c == 0x7F; });
}

// Takes the file's lines; the last line of a key that reads is in force.
void ReadLines(std::string_view text, SettingsRead& read) {
  std::array<bool, kKeyCount> valueRead{};
  int number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty() || line[0] == '#') continue;
    if (HoldsControlBytes(line)) {
      read.skippedLines.push_back(number);
      continue;
    }
    const std::size_t gap = std::min(line.find_first_of(" \t"), line.size());
    const auto known = std::find(kKeyNames.begin(), kKeyNames.end(), line.substr(0, gap));
    if (known == kKeyNames.end()) {
      state.foreignLines.emplace_back(line);
      continue;
    }
    const auto index = static_cast<std::size_t>(known - kKeyNames.begin());
    if (ReadValue(static_cast<Key>(index), Trimmed(line.substr(gap)), state.settings)) {
      valueRead[index] = true;
      state.unreadLines[index].clear();
    } else {
      read.skippedLines.push_back(number);
      if (!valueRead[index]) state.unreadLines[index] = line;
    }
  }
}

// The whole file, or an error (one too large to be settings gives EFBIG).
bool ReadWhole(int fd, std::string& text, int& errorNumber) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      errorNumber = errno;
      return false;
    }
    if (got == 0) return true;
    text.append(buffer, static_cast<std::size_t>(got));
    if (text.size() > kLargestFile) {
      errorNumber = EFBIG;
      return false;
    }
  }
}

std::string FileText() {
  std::string text(kHeader);
  for (std::size_t index = 0; index < kKeyCount; ++index) {
    if (state.unreadLines[index].empty())
      text.append(kKeyNames[index]).append(" ").append(ValueText(static_cast<Key>(index), state.settings));
    else text += state.unreadLines[index];
    text += '\n';
  }
  for (const std::string& line : state.foreignLines) text.append(line).append("\n");
  return text;
}

bool WriteFile(int& errorNumber) {
  const std::string folder = platform::UserConfigFolder();
  if (folder.empty()) {
    errorNumber = ENOENT;
    return false;
  }
  if (!platform::MakeUserFolders(folder, errorNumber)) return false;
  return platform::ReplaceFile(SettingsPath(), FileText(), platform::NewFileAccess::UserOnly, errorNumber);
}

}  // namespace

std::string SettingsPath() {
  const std::string folder = platform::UserConfigFolder();
  return folder.empty() ? "" : folder + "/" + std::string(kFileName);
}

void ResetSettings() { state.Reset(); }

const Settings& CurrentSettings() { return state.settings; }

void UseSettingsForThisRun(const Settings& chosen) { state.settings = chosen; }

SettingsRead LoadSettings() {
  state.Reset();
  SettingsRead read;
  const std::string path = SettingsPath();
  if (path.empty()) return read;
  int error = 0;
  const int fd = platform::OpenRegularFile(path, error);
  if (fd < 0) {
    if (error != ENOENT) state.unreadableError = read.errorNumber = error;
    return read;
  }
  std::string text;
  const bool whole = ReadWhole(fd, text, error);
  close(fd);
  if (!whole) {
    state.unreadableError = read.errorNumber = error;
    return read;
  }
  ReadLines(text, read);
  return read;
}

bool ChangeSettings(const Settings& wanted, int& errorNumber) {
  Settings changed = wanted;
  for (int* offset : {&changed.computerKeyboardOffsetMs, &changed.midiKeyboardOffsetMs})
    *offset = std::clamp(*offset, -kLargestOffsetMs, kLargestOffsetMs);
  changed.externalPortLatencyMs = std::clamp(changed.externalPortLatencyMs, 0, kLargestLatencyMs);
  bool differs = false;
  for (std::size_t index = 0; index < kKeyCount; ++index) {
    if (ValueText(static_cast<Key>(index), changed) == ValueText(static_cast<Key>(index), state.settings)) continue;
    differs = true;
    state.unreadLines[index].clear();
  }
  state.settings = changed;
  if (!differs) return true;
  if (state.unreadableError != 0) {
    errorNumber = state.unreadableError;
    return false;
  }
  return WriteFile(errorNumber);
}

}  // namespace files
