// tonquill-trace: plays a song on simulated time through the game's own
// frame pass and prints every MIDI message that reaches a port, one line
// each: the frame's time in ms, the port, and the bytes in hex. The mode
// button is clicked through the window's events; in training and game a
// simulated player presses the guide note's key through the same key-state
// path as a person's. Built with the deterministic backend.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/shell.h"
#include "draw/eldraw.h"
#include "files/load_song.h"
#include "files/settings.h"
#include "files/ranking.h"
#include "files/settings.h"
#include "game/adaptive_loop.h"
#include "game/calibration.h"
#include "game/computer_keyboard.h"
#include "game/controls.h"
#include "game/game_statistics.h"
#include "game/heard_timing.h"
#include "game/judging.h"
#include "game/press_record.h"
#include "game/statistics_scene.h"
#include "midi/midi_out.h"
#include "midi/timing.h"
#include "platform/testing/testing.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/event_dispatch.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "scene/scenes.h"
#include "song/measure_map.h"
#include "song/song_parts.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;

constexpr std::uint32_t kLongestRunMs = 60 * 60 * 1000;  // one simulated hour

const char kUsage[] =
    "usage: tonquill-trace [--frame-ms N] [--ports N] [--positions]\n"
    "                      [--mode demo|training|game] [--press-offset-ms N]\n"
    "                      [--name NAME] [--part ID] [--speed PERCENT]\n"
    "                      [--loop FIRST-LAST [--loop-passes K] [--adaptive]]\n"
    "                      [--view plain|names|ahead] [--snapshot MS:FILE.bmp]...\n"
    "                      [--count-in] [--metronome]\n"
    "                      [--output-latency-ms N] [--input-offset-ms N] SONG.mid\n"
    "       tonquill-trace --list-parts SONG.mid\n"
    "       tonquill-trace --calibrate [--press-offset-ms N] [--output-latency-ms N]\n"
    "                      [--frame-ms N]\n"
    "  --frame-ms N         simulated milliseconds per frame (default 16)\n"
    "  --ports N            recording MIDI ports to open (default 1)\n"
    "  --positions          also print '# position TIME TICK' for every frame\n"
    "  --mode M             the button pressed at time 0 (default demo)\n"
    "  --press-offset-ms N  training and game: the player presses each guide\n"
    "                       note's key N ms after playback halts at it (N >= 0),\n"
    "                       or once the note is at most -N ms ahead (N < 0)\n"
    "  --name NAME          game: the name typed at the name entry scene; the\n"
    "                       ranking text is then printed as it would be written\n"
    "  --part ID            training and game guide this part (default: the\n"
    "                       song's default part)\n"
    "  --list-parts         prints '# part ID NOTES NAME' for each part of the\n"
    "                       song and '# default-part ID', and plays nothing\n"
    "  --speed PERCENT      the playback speed, 50 to 100 (default 100)\n"
    "  --loop FIRST-LAST    demo and training: loop over these measures (counted\n"
    "                       from 1, as the measure panel shows them) from time 0;\n"
    "                       '# loop-jump TIME' is printed at each jump back\n"
    "  --loop-passes K      stop once the loop has been played K times (default 2)\n"
    "  --view V             what the main screen shows above the keys: plain\n"
    "                       (default), names (the keys' names) or ahead (the\n"
    "                       notes ahead falling onto their keys)\n"
    "  --snapshot MS:FILE   writes the frame shown at simulated time MS as a\n"
    "                       640 x 480 BMP and prints '# snapshot TIME FILE' with\n"
    "                       the frame's time (the last frame once the run is\n"
    "                       over); may be given more than once\n"
    "  --count-in           training and game begin with a measure of clicks\n"
    "  --metronome          a click on every beat the counter counts\n"
    "  --adaptive           training: the loop sets its own speed after each pass\n"
    "                       (from --speed); '# loop-pass K good G of N speed P'\n"
    "                       follows each '# loop-jump', P the next pass's speed\n"
    "  --output-latency-ms N  the ports are heard N ms after a message (0 to 1000;\n"
    "                       default 0); presses are judged against the sound\n"
    "  --input-offset-ms N  the player's measured offset (-1000 to 1000; default\n"
    "                       0; positive: they press late), taken off each press\n"
    "  --calibrate          runs the timing check (F9) with the player tapping a\n"
    "                       note key --press-offset-ms N after each click it\n"
    "                       hears, from the fifth, and prints '# calibration\n"
    "                       OFFSET_MS SPREAD_MS' (or '# calibration refused\n"
    "                       REASON'); no song is needed, no setting is kept\n"
    "The ranking starts from the default table, and nothing is written.\n";

struct Options {
  std::uint32_t frameMs = 16;
  int ports = 1;
  bool positions = false;
  int button = game::kButtonDemo;
  long pressOffsetMs = 0;
  const char* name = nullptr;
  const char* part = nullptr;
  bool listParts = false;
  const char* song = nullptr;
  int speedPercent = player::kFullSpeedPercent;
  long loopFirst = 0;  // 0: no loop
  long loopLast = 0;
  long loopPasses = 2;
  files::View view = files::View::Plain;
  struct Snapshot {
    std::uint32_t ms;
    std::string path;
  };
  std::vector<Snapshot> snapshots;
  bool countIn = false;
  bool metronome = false;
  long outputLatencyMs = 0;
  long inputOffsetMs = 0;
  bool adaptive = false;
  bool calibrate = false;
};

constexpr long kMostLoopPasses = 1000;
constexpr long kMostMeasures = 1000000;

bool ParseNumber(const char* text, long low, long high, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

bool ParseMode(const char* text, int& button) {
  if (std::strcmp(text, "demo") == 0) button = game::kButtonDemo;
  else if (std::strcmp(text, "training") == 0) button = game::kButtonTraining;
  else if (std::strcmp(text, "game") == 0) button = game::kButtonGame;
  else return false;
  return true;
}

// FIRST-LAST, both from 1; the upper bound is checked against the song
// once it is loaded.
bool ParseLoop(const char* text, long& first, long& last) {
  const char* dash = std::strchr(text, '-');
  if (dash == nullptr) return false;
  const std::string firstText(text, dash);
  return ParseNumber(firstText.c_str(), 1, kMostMeasures, first) && ParseNumber(dash + 1, 1, kMostMeasures, last) &&
         first <= last;
}

bool ParseView(const char* text, files::View& view) {
  if (std::strcmp(text, "plain") == 0) view = files::View::Plain;
  else if (std::strcmp(text, "names") == 0) view = files::View::Names;
  else if (std::strcmp(text, "ahead") == 0) view = files::View::NotesAhead;
  else return false;
  return true;
}

// MS:FILE, MS from 0 to an hour.
bool ParseSnapshot(const char* text, std::vector<Options::Snapshot>& snapshots) {
  const char* colon = std::strchr(text, ':');
  long ms = 0;
  if (colon == nullptr || colon[1] == '\0' || !ParseNumber(std::string(text, colon).c_str(), 0, kLongestRunMs, ms))
    return false;
  snapshots.push_back({static_cast<std::uint32_t>(ms), colon + 1});
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    long value = 0;
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--frame-ms") == 0 && hasValue && ParseNumber(argv[i + 1], 1, 10000, value)) {
      options.frameMs = static_cast<std::uint32_t>(value);
      ++i;
    } else if (std::strcmp(argv[i], "--ports") == 0 && hasValue && ParseNumber(argv[i + 1], 0, 8, value)) {
      options.ports = static_cast<int>(value);
      ++i;
    } else if (std::strcmp(argv[i], "--positions") == 0) {
      options.positions = true;
    } else if (std::strcmp(argv[i], "--mode") == 0 && hasValue && ParseMode(argv[i + 1], options.button)) {
      ++i;
    } else if (std::strcmp(argv[i], "--press-offset-ms") == 0 && hasValue &&
               ParseNumber(argv[i + 1], -600000, 600000, value)) {
      options.pressOffsetMs = value;
      ++i;
    } else if (std::strcmp(argv[i], "--speed") == 0 && hasValue &&
               ParseNumber(argv[i + 1], player::kSlowestSpeedPercent, player::kFullSpeedPercent, value)) {
      options.speedPercent = static_cast<int>(value);
      ++i;
    } else if (std::strcmp(argv[i], "--loop") == 0 && hasValue &&
               ParseLoop(argv[i + 1], options.loopFirst, options.loopLast)) {
      ++i;
    } else if (std::strcmp(argv[i], "--loop-passes") == 0 && hasValue &&
               ParseNumber(argv[i + 1], 1, kMostLoopPasses, value)) {
      options.loopPasses = value;
      ++i;
    } else if (std::strcmp(argv[i], "--output-latency-ms") == 0 && hasValue &&
               ParseNumber(argv[i + 1], 0, files::kLargestLatencyMs, options.outputLatencyMs)) {
      ++i;
    } else if (std::strcmp(argv[i], "--input-offset-ms") == 0 && hasValue &&
               ParseNumber(argv[i + 1], -files::kLargestOffsetMs, files::kLargestOffsetMs, options.inputOffsetMs)) {
      ++i;
    } else if (std::strcmp(argv[i], "--calibrate") == 0) {
      options.calibrate = true;
    } else if (std::strcmp(argv[i], "--adaptive") == 0) {
      options.adaptive = true;
    } else if (std::strcmp(argv[i], "--name") == 0 && hasValue) {
      options.name = argv[++i];
    } else if (std::strcmp(argv[i], "--part") == 0 && hasValue) {
      options.part = argv[++i];
    } else if (std::strcmp(argv[i], "--view") == 0 && hasValue && ParseView(argv[i + 1], options.view)) {
      ++i;
    } else if (std::strcmp(argv[i], "--snapshot") == 0 && hasValue && ParseSnapshot(argv[i + 1], options.snapshots)) {
      ++i;
    } else if (std::strcmp(argv[i], "--count-in") == 0) {
      options.countIn = true;
    } else if (std::strcmp(argv[i], "--metronome") == 0) {
      options.metronome = true;
    } else if (std::strcmp(argv[i], "--list-parts") == 0) {
      options.listParts = true;
    } else if (argv[i][0] != '-' && options.song == nullptr) {
      options.song = argv[i];
    } else {
      return false;
    }
  }
  // The self-setting loop needs a loop.
  return (options.song != nullptr || options.calibrate) && (!options.adaptive || options.loopFirst > 0);
}

void PrintNewMessages(std::size_t& printed) {
  const auto& log = pt::MidiLog();
  for (; printed < log.size(); ++printed) {
    const pt::MidiLogEntry& entry = log[printed];
    if (entry.kind != pt::MidiLogEntry::Short && entry.kind != pt::MidiLogEntry::Long) continue;
    std::printf("%u %d", entry.time, entry.device);
    for (std::uint8_t b : entry.bytes) std::printf(" %02x", b);
    std::printf("\n");
  }
}

bool Load(const char* path) {
  if (!files::SetSongPath(path)) {
    std::fprintf(stderr, "tonquill-trace: the path is too long: %s\n", path);
    return false;
  }
  const files::LoadFailureText* failure = files::LoadFailureTextOf(files::LoadSong(false));
  if (failure == nullptr) return true;
  std::fprintf(stderr, "tonquill-trace: %s %s\n", path, failure->afterPath);
  return false;
}

// A player who presses the guide chord's keys at a fixed offset from the
// chord and holds them for two frames past the frame they start sounding,
// or until the next chord is due. A chord whose notes need different
// octave keys, or share a key, is played in turns, the guide note's turn
// first; each turn follows as soon as the one before has sounded, so that
// it counts with the chord's first.
// The keyboard is modelled as read at frame passes, a key sounding once two
// passes have seen it down: a note key pressed reaches the game as a key
// event just before the next pass, stamped with the moment it went down,
// unless it was let go meanwhile (it never sounds then); a key the last
// pass saw up, and the octave keys, reach it at once, and so do keys let
// go. The note keys go in key table order, as such a reading finds them.
class SimulatedPlayer {
 public:
  explicit SimulatedPlayer(long offsetMs) : offsetMs_(offsetMs) {}

  // Called before each frame at time `now`: presses or releases.
  void BeforeFrame(std::uint32_t now) {
    dueKeys_ = std::move(pendingKeys_);
    pendingKeys_.clear();
    Act(now);
    for (int index : dueKeys_) SendKey(game::kNoteKeys[index], true, pressedAt_);
  }
  void AfterFrame(std::uint32_t now) { previousFrame_ = now; }

 private:
  static constexpr int kHeldFrames = 2;

  void Act(std::uint32_t now) {
    NoticeHalt();
    if (keyCount_ != 0) {
      if (!game::KeySounding(keyIndex_[0])) return;
      if (player::GuideChordBegun()) return PressNextKeys();
      const bool nextDue = Due(now);
      if (++framesSounded_ <= kHeldFrames && !nextDue) return;
      return nextDue ? PressNextKeys() : Release();
    }
    if (turnPending_) {
      turnPending_ = false;
      if (player::IsGuidePerformed() && !player::GuideOver()) PressChord();
      return;
    }
    if (Due(now)) PressChord();
  }
  // The halt at the chord to play begins with the frame that made it (the
  // halt at a chord just taken lasts until the next frame).
  void NoticeHalt() {
    if (!player::WaitingForPlayer()) haltNoted_ = false;
    else if (!haltNoted_) {
      haltNoted_ = true;
      haltedAt_ = previousFrame_;
    }
  }
  // Whether the guide's chord is to be pressed now.
  bool Due(std::uint32_t now) const {
    if (!player::IsGuidePerformed() || player::GuideOver()) return false;
    if (offsetMs_ >= 0) return haltNoted_ && now - haltedAt_ >= static_cast<std::uint32_t>(offsetMs_);
    // Before the note the player looks ahead to this frame: the song has
    // moved on by the time since the last one.
    const std::int64_t earlinessNow = game::GuideEarlinessMs() - static_cast<std::int64_t>(now - previousFrame_);
    return earlinessNow <= -offsetMs_;
  }

  // The key of a note, with Shift or Ctrl for the octaves around the piano;
  // a note beyond their reach is played with the key of the note moved
  // into it, as the lit key shows.
  static int OctaveKeyOf(int note) { return game::KeyOfNote(note).octaveKey; }
  static int KeyIndexOf(int note) { return game::KeyOfNote(note).index; }

  // The turn to play: the guide note's key, and every other waiting note of
  // the chord that the same octave key reaches on a key of its own.
  void ChooseTurn() {
    octaveKey_ = OctaveKeyOf(player::GuideNote());
    keyCount_ = 0;
    const auto add = [this](int note) {
      const int index = KeyIndexOf(note);
      if (std::find(keyIndex_, keyIndex_ + keyCount_, index) == keyIndex_ + keyCount_) keyIndex_[keyCount_++] = index;
    };
    add(player::GuideNote());
    for (int i = 0; i < player::GuideChordSize(); ++i) {
      const int note = player::GuideChordNote(i);
      if (player::GuideChordNoteWaits(i) && OctaveKeyOf(note) == octaveKey_) add(note);
    }
  }
  static void SendKey(int virtualKey, bool down, std::uint32_t ms) {
    platform::Event event{down ? platform::EventKind::KeyDown : platform::EventKind::KeyUp};
    event.key = virtualKey;
    event.ms = ms;
    app::HandleEvent(event);
  }
  std::vector<int> KeysInTableOrder() const {
    std::vector<int> keys(keyIndex_, keyIndex_ + keyCount_);
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  void PressKeys() {
    framesSounded_ = 0;
    const std::uint32_t now = platform::TimeMs();
    if (octaveKey_ != 0) SendKey(octaveKey_, true, now);
    pendingKeys_.clear();
    for (int index : KeysInTableOrder()) {
      if (releasedAt_[index] == static_cast<std::int64_t>(previousFrame_)) SendKey(game::kNoteKeys[index], true, now);
      else pendingKeys_.push_back(index);
    }
    pressedAt_ = now;
  }
  void PressChord() {
    ChooseTurn();
    PressKeys();
  }
  void Release() {
    const std::uint32_t now = platform::TimeMs();
    for (int index : KeysInTableOrder()) {
      const auto due = std::find(dueKeys_.begin(), dueKeys_.end(), index);
      if (due != dueKeys_.end()) dueKeys_.erase(due);
      else SendKey(game::kNoteKeys[index], false, now);
      releasedAt_[index] = now;
    }
    if (octaveKey_ != 0) SendKey(octaveKey_, false, now);
    keyCount_ = 0;
  }
  // The held keys go up and the next turn or chord goes down in the same
  // frame; one that needs a key just let go waits a frame, as a key must be
  // seen up before it goes down again.
  void PressNextKeys() {
    int released[game::kNoteKeyCount];
    const int releasedCount = keyCount_;
    std::copy(keyIndex_, keyIndex_ + keyCount_, released);
    Release();
    ChooseTurn();
    const bool sharesAKey = std::any_of(keyIndex_, keyIndex_ + keyCount_, [&](int index) {
      return std::find(released, released + releasedCount, index) != released + releasedCount;
    });
    if (!sharesAKey) return PressKeys();
    keyCount_ = 0;
    turnPending_ = true;
  }

  long offsetMs_;
  int keyIndex_[game::kNoteKeyCount]{};
  int keyCount_ = 0;
  int octaveKey_ = 0;
  int framesSounded_ = 0;
  // Keys pressed that reach the game just before the next frame pass, those
  // due before this one, and when each key was last let go (-1: never).
  std::vector<int> pendingKeys_;
  std::vector<int> dueKeys_;
  std::uint32_t pressedAt_ = 0;
  std::int64_t releasedAt_[game::kNoteKeyCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                                   -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool turnPending_ = false;
  bool haltNoted_ = false;
  std::uint32_t haltedAt_ = 0;
  std::uint32_t previousFrame_ = 0;
};

// Runs frame passes until `done` holds or a simulated minute has passed.
template <typename Done>
void RunFramesUntil(std::uint32_t& now, std::uint32_t frameMs, Done done) {
  for (int frames = 0; !done() && frames * frameMs < 60000; ++frames) {
    now += frameMs;
    pt::SetTime(now);
    app::RunFramePass();
  }
}

// One key a frame pass down and one up.
void TypeKey(int code, int letter, std::uint32_t& now, std::uint32_t frameMs) {
  int frame = 0;
  app::HandleEvent({platform::EventKind::KeyDown, 0, 0, code, letter});
  RunFramesUntil(now, frameMs, [&frame] { return ++frame % 2 == 0; });
  app::HandleEvent({platform::EventKind::KeyUp, 0, 0, code});
  RunFramesUntil(now, frameMs, [&frame] { return ++frame % 2 == 0; });
}

// Waits for a scene through the closing wipe, and for its opening one.
void ReachScene(int number, std::uint32_t& now, std::uint32_t frameMs) {
  RunFramesUntil(now, frameMs, [number] { return scene::SceneNumber() == number; });
  RunFramesUntil(now, frameMs, [] { return scene::TransitionStep() == 0 && !scene::SceneEntered(); });
}

// Past the game's statistics with Space, then at the name entry scene:
// types the name (letters, space, others left out), then Return.
void EnterName(const char* name, std::uint32_t& now, std::uint32_t frameMs) {
  ReachScene(scene::kSceneStatistics, now, frameMs);
  TypeKey(platform::vk::kSpace, 0, now, frameMs);
  ReachScene(scene::kSceneNameEntry, now, frameMs);
  std::string keys;
  for (const char* c = name; *c != '\0'; ++c) {
    const char upper = (*c >= 'a' && *c <= 'z') ? static_cast<char>(*c - 'a' + 'A') : *c;
    if ((upper >= 'A' && upper <= 'Z') || upper == ' ') keys += upper;
  }
  keys += '\r';
  for (char key : keys)
    TypeKey(key == '\r' ? platform::vk::kReturn : key, key >= 'A' && key <= 'Z' ? key : 0, now, frameMs);
}

// One line per part, then the default part's ID ("none" without parts).
void ListParts() {
  for (int i = 0; i < song::PartCount(); ++i) {
    const song::SongPart& part = song::Part(i);
    std::printf("# part %s %d %s\n", part.id.c_str(), part.notes, song::PartDisplayName(part).c_str());
  }
  const int chosen = song::DefaultPart();
  std::printf("# default-part %s\n", chosen == song::kNoPart ? "none" : song::Part(chosen).id.c_str());
}

// Writes the snapshots due by `now` (all that are left when `last`) from
// the frame last shown; false when one could not be written.
bool WriteSnapshots(std::vector<Options::Snapshot>& snapshots, std::uint32_t now, bool last) {
  bool written = true;
  for (auto snapshot = snapshots.begin(); snapshot != snapshots.end();) {
    if (snapshot->ms > now && !last) {
      ++snapshot;
      continue;
    }
    if (pt::SaveLastFrame(snapshot->path)) {
      std::printf("# snapshot %u %s\n", now, snapshot->path.c_str());
    } else {
      std::fprintf(stderr, "tonquill-trace: could not write the snapshot %s\n", snapshot->path.c_str());
      written = false;
    }
    snapshot = snapshots.erase(snapshot);
  }
  return written;
}

// The timing check started with F9 on the main screen without a song; the
// player taps a note key N ms after each click from the fifth is heard (a
// click sounds at the first frame at or after its time, and is heard the
// output latency later), and lets it go at the next frame.
int Calibrate(const Options& options) {
  game::SetCalibrationKept(false);
  std::uint32_t now = 0;
  pt::SetTime(now);
  scene::ChangeSceneDirectly(scene::kSceneMain);
  app::RunFramePass();
  app::HandleEvent({platform::EventKind::KeyDown, 0, 0, platform::vk::kF9});
  app::RunFramePass();
  app::HandleEvent({platform::EventKind::KeyUp, 0, 0, platform::vk::kF9});
  const std::uint32_t frame = options.frameMs;
  int click = game::kCalibrationLeadInClicks;
  bool keyDown = false;
  while (game::CalibrationRunning() && now < kLongestRunMs) {
    now += frame;
    pt::SetTime(now);
    if (keyDown) app::HandleEvent({platform::EventKind::KeyUp, 0, 0, game::kNoteKeys[0]});
    keyDown = false;
    if (click < game::kCalibrationClicks) {
      const std::uint32_t due = game::CalibrationClickDueMs(click);
      const std::int64_t sent = (static_cast<std::int64_t>(due) + frame - 1) / frame * frame;
      const std::int64_t tapAt = sent + options.outputLatencyMs + options.pressOffsetMs;
      if (tapAt <= now) {
        platform::Event tap{platform::EventKind::KeyDown};
        tap.key = game::kNoteKeys[0];
        tap.ms = static_cast<std::uint32_t>(std::max<std::int64_t>(tapAt, 0));
        app::HandleEvent(tap);
        keyDown = true;
        ++click;
      }
    }
    app::RunFramePass();
  }
  const game::CalibrationResult result = game::LastCalibration();
  switch (result.estimate.outcome) {
    case game::TapEstimate::Outcome::Measured:
      std::printf("# calibration %d %d\n", result.estimate.offsetMs, result.estimate.spreadMs);
      break;
    case game::TapEstimate::Outcome::Uneven: std::printf("# calibration refused uneven\n"); break;
    case game::TapEstimate::Outcome::TooFewTaps: std::printf("# calibration refused too-few-taps\n"); break;
  }
  return 0;
}

const char* VerdictName(int verdict) {
  switch (verdict) {
    case game::kVerdictGood: return "Good";
    case game::kVerdictLate: return "LATE";
    case game::kVerdictFast: return "FAST";
    default: return "none";
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  pt::Reset();
  // Every port is heard the chosen latency after its messages reach it.
  pt::MidiDeviceSetup devices{.count = options.ports, .probeSucceeds = false};
  for (int device = 0; device < options.ports; ++device) devices.latencyMs[device] = static_cast<int>(options.outputLatencyMs);
  pt::SetMidiDevices(devices);
  game::SetPlayerOffsetOverride(static_cast<int>(options.inputOffsetMs));
  midi::InitTimingServices();
  midi::OpenMidiOutPorts("");
  song::PrepareSongStore();
  song::InstallEmptySong();
  if (options.calibrate) return Calibrate(options);

  // Load as the FILE button does: clear, read, install, scan, rewind.
  if (!Load(options.song)) return 1;
  if (options.listParts) {
    ListParts();
    return 0;
  }
  if (options.part != nullptr) {
    const int index = song::FindPart(options.part);
    if (index == song::kNoPart) {
      std::fprintf(stderr, "tonquill-trace: %s has no part %s (--list-parts lists them)\n", options.song, options.part);
      return 1;
    }
    song::ChoosePart(index);
  }
  // The default ranking, never read from or written to a file: a trace
  // changes no file and does not depend on the machine.
  files::RestoreDefaultRankingText();
  files::ParseRankingScores();
  files::DeriveRankingPath("");
  game::SetHistoryKept(false);
  // A loop must lie inside the song's measures, as the counter numbers them.
  const long songMeasures = song::SongMeasureCount();
  if (options.loopLast > songMeasures) {
    std::fprintf(stderr, "tonquill-trace: --loop %ld-%ld: the song has %ld measures\n", options.loopFirst,
                 options.loopLast, songMeasures);
    return 2;
  }
  player::SetPlaybackSpeedPercent(options.speedPercent);
  // The view for this run alone: the player's settings file is never read.
  files::Settings chosen = files::CurrentSettings();
  chosen.view = options.view;
  files::UseSettingsForThisRun(chosen);
  player::SetCountInOn(options.countIn);
  player::SetMetronomeOn(options.metronome);
  if (options.loopFirst > 0)
    player::SetLoop(static_cast<int>(options.loopFirst - 1), static_cast<int>(options.loopLast - 1));
  if (options.adaptive) game::ToggleAdaptiveLoop();
  std::printf("# title %s\n", platform::AnsiToUtf8(song::SongTitle()).c_str());
  std::printf("# tracks %d division %d\n", song::TrackCount(), song::Division());

  // The main scene entered at simulated time 0, as the start-up scene
  // leaves it; then the mode button clicked in a second frame pass at 0.
  pt::SetTime(0);
  // Frames are composed only for snapshots: the screen and its artwork, as
  // the start-up scene prepares them.
  if (!options.snapshots.empty() && elDraw::Screen(640, 480) != 0) scene::LoadSceneArtwork();
  scene::ChangeSceneDirectly(scene::kSceneMain);
  app::RunFramePass();
  pt::ClearMidiLog();
  const game::SourceRect button = game::ButtonRect(options.button);
  app::HandleEvent({platform::EventKind::MouseMove, (button.left + button.right) / 2, (button.top + button.bottom) / 2, 0});
  app::HandleEvent({platform::EventKind::LeftDown, 0, 0, 0});
  app::RunFramePass();
  app::HandleEvent({platform::EventKind::LeftUp, 0, 0, 0});
  std::size_t printed = 0;
  PrintNewMessages(printed);
  bool snapshotsWritten = WriteSnapshots(options.snapshots, 0, false);
  // A button that refuses to start says why in a message box.
  for (const pt::Box& box : pt::Boxes()) {
    std::string text = box.text;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    for (char& c : text)
      if (c == '\n') c = ' ';
    std::printf("# message %s\n", text.c_str());
  }

  SimulatedPlayer player(options.pressOffsetMs);
  const bool performance = options.button != game::kButtonDemo;
  const bool gameMode = options.button == game::kButtonGame;
  int notesJudged = 0;
  int shownScore = game::Score();
  int loopJumps = 0;
  for (std::uint32_t now = options.frameMs; player::PlayState() == player::kPlaying; now += options.frameMs) {
    if (now > kLongestRunMs) {
      std::printf("# stopped after one simulated hour\n");
      break;
    }
    pt::SetTime(now);
    if (performance) player.BeforeFrame(now);
    app::RunFramePass();
    player.AfterFrame(now);
    if (options.positions) std::printf("# position %u %d\n", now, player::SongPosition());
    PrintNewMessages(printed);
    snapshotsWritten = WriteSnapshots(options.snapshots, now, false) && snapshotsWritten;
    // The notes of a chord pressed together are judged in one frame, at
    // one moment: one line each, and in a game its press line after it.
    for (; notesJudged < game::NotesPlayed(); ++notesJudged) {
      const auto& presses = game::JudgedPresses();
      const bool recorded = gameMode && static_cast<std::size_t>(notesJudged) < presses.size();
      const int verdict = recorded ? presses[static_cast<std::size_t>(notesJudged)].verdict : game::LastVerdict();
      std::printf("# verdict %u %s\n", now, VerdictName(verdict));
      if (recorded) {
        const game::JudgedPress& press = presses[static_cast<std::size_t>(notesJudged)];
        std::printf("# press %d %d %s\n", press.index, press.offsetMs, VerdictName(press.verdict));
      }
    }
    if (player::LoopJumpCount() != loopJumps) {
      loopJumps = player::LoopJumpCount();
      std::printf("# loop-jump %u\n", now);
      const game::LoopPass pass = game::LastLoopPass();
      if (options.adaptive && pass.number > 0)
        std::printf("# loop-pass %d good %d of %d speed %d\n", pass.number, pass.good, pass.presses, pass.nextSpeedPercent);
      if (loopJumps >= options.loopPasses) {
        game::StopRun();
        PrintNewMessages(printed);
        break;
      }
    }
    if (game::Score() != shownScore) {
      shownScore = game::Score();
      std::printf("# score %d\n", shownScore);
    }
  }
  if (gameMode) {
    const game::PressSummary stats = game::SummarizePresses(game::JudgedPresses());
    std::printf("# stats good %d late %d fast %d mean %d spread %d\n", stats.good, stats.late, stats.fast, stats.meanMs,
                stats.spreadMs);
  }
  if (performance) {
    // A game that reached its end shows its statistics first: the scene
    // after them is the one told.
    const bool changing = scene::TransitionDirection() == +1;
    const int next = scene::NextScene() == scene::kSceneStatistics ? game::SceneAfterStatistics() : scene::NextScene();
    if (changing) std::printf("# next-scene %d\n", next);
    else std::printf("# next-scene none\n");
    if (changing && next == scene::kSceneNameEntry && options.name != nullptr) {
      std::uint32_t now = platform::TimeMs();
      EnterName(options.name, now, options.frameMs);
      std::printf("# ranking %.*s\n", files::kRankingTextSize, files::RankingText());
    }
  }
  snapshotsWritten = WriteSnapshots(options.snapshots, platform::TimeMs(), true) && snapshotsWritten;
  midi::CloseMidiOutPorts();
  return snapshotsWritten ? 0 : 1;
}
