// tonquill-bench: engine figures on the deterministic backend, each taken
// over repeated runs and printed as min / median / max.
//
//   load      the largest song the buffer admits (32 tracks) read from a
//             file, installed and scanned, as the FILE button loads it; and
//             the install and the scan alone
//   frames    the frame pass of the main scene while DEMO plays a dense
//             32-track song (about 65 messages a frame): mean and 99th
//             percentile, and the time per message dispatched
//   lane      the same frame pass with the notes ahead in view, on that
//             song and on any song named after RUNS on the command line
//             (tonquill-bench 7 song.mid ...): mean and 99th percentile
//   dispatch  the whole song dispatched in one pass with no device open:
//             the engine's own cost per message
//   loop jump the jumps back of a loop over a song's second measure: after
//             256 ports x 16 channels x 120 controllers, and after a 1.4 MB
//             lyric track read a syllable per event; the time that passed
//             and the processor time the jump took (which other work on a
//             shared machine does not stretch)
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/shell.h"
#include "chase_songs.h"
#include "dense_song.h"
#include "files/settings.h"
#include "files/song_file.h"
#include "game/controls.h"
#include "game/engine_events.h"
#include "game/main_command.h"
#include "midi/midi_out.h"
#include "platform/testing/testing.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "player/run_step.h"
#include "private_home.h"
#include "program_reset.h"
#include "song/song_scan.h"
#include "song/song_store.h"

namespace {

namespace pt = platform::testing;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFrameMs = 16;
constexpr int kLongestRunFrames = 20000;  // over five minutes of song

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }
// Seconds of processor time this thread has used.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Spread {
  double min, median, max;
};
Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return {values.front(), values[values.size() / 2], values.back()};
}
void PrintRow(const char* what, const char* unit, const std::vector<double>& values, double scale) {
  const Spread s = SpreadOf(values);
  std::printf("  %-46s %-3s %10.2f %10.2f %10.2f\n", what, unit, s.min * scale, s.median * scale, s.max * scale);
}

// A fresh program with its song store laid out, as at start-up with no song.
void FreshStore(int ports) {
  test::ResetProgram(ports);
  midi::OpenMidiOutPorts("");
  song::PrepareSongStore();
  song::InstallEmptySong();
  // The loader clears the current song before it reads the file.
  for (int t = song::TrackCount(); t >= 1; --t) song::ClearTrack(t);
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

struct LoadTimes {
  std::vector<double> load, install, scan;
};

bool MeasureLoad(const std::string& path, const std::vector<std::uint8_t>& file, int runs, LoadTimes& times) {
  for (int run = 0; run < runs; ++run) {
    FreshStore(0);
    files::SetSongPath(path.c_str());
    auto start = Clock::now();
    if (files::LoadSongFile() != files::LoadResult::Installed) return false;
    times.load.push_back(Since(start));

    FreshStore(0);
    std::memcpy(song::FreeSpace(), file.data(), file.size());
    start = Clock::now();
    if (!song::InstallSongImage(static_cast<std::int32_t>(file.size()))) return false;
    times.install.push_back(Since(start));
    start = Clock::now();
    song::ScanSong(song::TrackEntry(0));
    times.scan.push_back(Since(start));
  }
  return true;
}

struct FrameRun {
  double mean = 0, p99 = 0, perMessage = 0, messagesPerFrame = 0;
  double processorP99 = 0;  // the frame's processor time, which other work does not stretch
};

// The program started with the song on its command line, through the
// start-up scene into the main scene; a hundred idle frames (which must
// present nothing); then a click on DEMO and the frame passes timed one by
// one until the song ends.
bool MeasureFrames(const std::string& path, FrameRun& result, int& idlePresents, int tracks,
                   files::View view = files::View::Plain) {
  test::ResetProgram(1);
  int exitCode = 0;
  if (!app::StartProgram(path.c_str(), exitCode)) return false;
  files::Settings chosen = files::CurrentSettings();
  chosen.view = view;
  files::UseSettingsForThisRun(chosen);
  for (int i = 0; i < 3; ++i) {
    pt::AdvanceTime(kFrameMs);
    app::RunFramePass();
  }
  if (tracks > 0 && song::TrackCount() != tracks) return false;
  // An idle main screen presents nothing.
  const int presented = pt::PresentCount();
  for (int i = 0; i < 100; ++i) {
    pt::AdvanceTime(kFrameMs);
    app::RunFramePass();
  }
  idlePresents = pt::PresentCount() - presented;
  // A click on DEMO.
  const game::SourceRect demo = game::ButtonRect(game::kButtonDemo);
  const int x = (demo.left + demo.right) / 2, y = (demo.top + demo.bottom) / 2;
  pt::PushEvent({platform::EventKind::MouseMove, x, y});
  pt::PushEvent({platform::EventKind::LeftDown, x, y});
  pt::PushEvent({platform::EventKind::LeftUp, x, y});
  while (pt::PendingEvents() > 0) app::PumpOnce();
  pt::AdvanceTime(kFrameMs);
  app::RunFramePass();
  if (player::PlayState() != player::kPlaying) return false;

  std::vector<double> frames, processor;
  std::size_t messages = 0;
  for (int f = 0; f < kLongestRunFrames && player::PlayState() == player::kPlaying; ++f) {
    pt::AdvanceTime(kFrameMs);
    pt::ClearMidiLog();
    const auto start = Clock::now();
    const double processorStart = ThreadSeconds();
    app::RunFramePass();
    processor.push_back(ThreadSeconds() - processorStart);
    frames.push_back(Since(start));
    messages += pt::MidiLog().size();
  }
  app::FinishProgram();
  double total = 0;
  for (double d : frames) total += d;
  std::sort(frames.begin(), frames.end());
  result.mean = total / static_cast<double>(frames.size());
  result.p99 = frames[frames.size() * 99 / 100];
  std::sort(processor.begin(), processor.end());
  result.processorP99 = processor[processor.size() * 99 / 100];
  result.messagesPerFrame = static_cast<double>(messages) / static_cast<double>(frames.size());
  result.perMessage = messages > 0 ? total / static_cast<double>(messages) : 0;
  return true;
}

// The whole song due at once: one pass sends every message (no device is
// open, so this is the engine's reading, bookkeeping and routing alone).
bool MeasureDispatch(const std::string& path, std::int64_t messages, double& perMessage) {
  FreshStore(0);
  files::SetSongPath(path.c_str());
  if (files::LoadSongFile() != files::LoadResult::Installed) return false;
  pt::SetTime(0);
  game::ShowHappenings(player::RewindSong());
  game::ShowHappenings(player::StartPlayback(player::PlayMode::Demo));
  pt::SetTime(60 * 60 * 1000);
  const auto start = Clock::now();
  game::ShowHappenings(player::AdvancePlayback());
  perMessage = Since(start) / static_cast<double>(messages);
  return player::PlayState() == player::kStopped;
}

// DEMO with a loop over the song's second measure: each jump back (the
// ports silenced, the tracks chased to the loop's start, the clock and the
// screen restarted there) timed alone, `runs` times.
struct JumpTimes {
  std::vector<double> passed, processor;
};

bool MeasureLoopJumps(const std::string& path, int runs, JumpTimes& jumps) {
  FreshStore(1);
  files::SetSongPath(path.c_str());
  if (files::LoadSongFile() != files::LoadResult::Installed) return false;
  pt::SetTime(0);
  player::SetLoop(1, 1);
  player::SetLoopFollowed(true);
  game::ShowHappenings(player::RewindSong());
  game::ShowHappenings(player::StartPlayback(player::PlayMode::Demo));
  for (int run = 0; run < runs; ++run) {
    pt::ClearMidiLog();
    const auto start = Clock::now();
    const double processor = ThreadSeconds();
    player::JumpToLoopStart();
    (void)player::TakeHappenings();  // the screen is not timed
    jumps.processor.push_back(ThreadSeconds() - processor);
    jumps.passed.push_back(Since(start));
  }
  game::ShowHappenings(player::StopPlayback(player::kStopByUser));
  return player::LoopJumpCount() == runs;
}

}  // namespace

int main(int argc, char** argv) {
  const test::PrivateHome home;  // nothing measured reads or writes the user's data
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<std::string> laneSongs;
  for (int i = 2; i < argc; ++i) laneSongs.emplace_back(argv[i]);
  char folder[] = "/tmp/tonquill-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  const std::string path = std::string(folder) + "/dense.mid";

  FreshStore(0);
  const auto capacity = static_cast<std::size_t>(song::FreeSpaceSize());
  const bench::DenseSong song = bench::MakeDenseSong(capacity - 16);
  int status = 0;
  LoadTimes load;
  std::vector<double> frameMean, frameP99, framePerMessage, messagesPerFrame, dispatchPerMessage;
  int idlePresents = 0;
  if (!WriteFile(path, song.file) || !MeasureLoad(path, song.file, runs, load)) {
    std::fprintf(stderr, "tonquill-bench: the song could not be written or loaded\n");
    status = 1;
  }
  for (int run = 0; status == 0 && run < runs; ++run) {
    FrameRun frames;
    double perMessage = 0;
    if (!MeasureFrames(path, frames, idlePresents, 32) || !MeasureDispatch(path, song.channelMessages, perMessage)) {
      std::fprintf(stderr, "tonquill-bench: the song did not play\n");
      status = 1;
      break;
    }
    frameMean.push_back(frames.mean);
    frameP99.push_back(frames.p99);
    framePerMessage.push_back(frames.perMessage);
    messagesPerFrame.push_back(frames.messagesPerFrame);
    dispatchPerMessage.push_back(perMessage);
  }
  // The notes ahead in view: the dense song, then the songs named.
  laneSongs.insert(laneSongs.begin(), path);
  std::vector<std::vector<double>> laneMean(laneSongs.size()), laneP99(laneSongs.size()),
      laneProcessorP99(laneSongs.size());
  for (int run = 0; status == 0 && run < runs; ++run)
    for (std::size_t i = 0; i < laneSongs.size(); ++i) {
      FrameRun frames;
      int unused = 0;
      if (!MeasureFrames(laneSongs[i], frames, unused, i == 0 ? 32 : 0, files::View::NotesAhead)) {
        std::fprintf(stderr, "tonquill-bench: %s did not play\n", laneSongs[i].c_str());
        status = 1;
        break;
      }
      laneMean[i].push_back(frames.mean);
      laneP99[i].push_back(frames.p99);
      laneProcessorP99[i].push_back(frames.processorP99);
    }
  JumpTimes controllerJumps, lyricJumps;
  const std::string controllerPath = std::string(folder) + "/controllers.mid";
  const std::string lyricPath = std::string(folder) + "/lyrics.mid";
  if (status == 0 && (!WriteFile(controllerPath, bench::MakeControllerFloodSong()) ||
                      !WriteFile(lyricPath, bench::MakeLyricFloodSong(1400 * 1000)) ||
                      !MeasureLoopJumps(controllerPath, runs, controllerJumps) ||
                      !MeasureLoopJumps(lyricPath, runs, lyricJumps))) {
    std::fprintf(stderr, "tonquill-bench: the loop did not jump\n");
    status = 1;
  }
  for (const std::string& written : {path, controllerPath, lyricPath}) std::remove(written.c_str());
  rmdir(folder);
  if (status != 0) return status;

  std::printf("Engine, %d runs each: %zu-byte song of 32 tracks, %lld channel messages\n", runs, song.file.size(),
              static_cast<long long>(song.channelMessages));
  std::printf("  %-46s %-3s %10s %10s %10s\n", "", "", "min", "median", "max");
  PrintRow("load + install + scan of the song", "ms", load.load, 1e3);
  PrintRow("  install alone", "ms", load.install, 1e3);
  PrintRow("  scan alone", "ms", load.scan, 1e3);
  PrintRow("frame pass during DEMO, mean", "us", frameMean, 1e6);
  PrintRow("frame pass during DEMO, 99th percentile", "us", frameP99, 1e6);
  PrintRow("messages per frame", "", messagesPerFrame, 1);
  PrintRow("per message dispatched, in the frame passes", "ns", framePerMessage, 1e9);
  PrintRow("per message dispatched, engine alone", "ns", dispatchPerMessage, 1e9);
  std::printf("  an idle main screen presented %d of 100 frames\n", idlePresents);
  std::printf("Frame pass during DEMO with the notes ahead in view\n");
  for (std::size_t i = 0; i < laneSongs.size(); ++i) {
    const std::string name = i == 0 ? "the dense song" : laneSongs[i].substr(laneSongs[i].rfind('/') + 1);
    PrintRow((name + ", mean").c_str(), "us", laneMean[i], 1e6);
    PrintRow((name + ", 99th percentile").c_str(), "us", laneP99[i], 1e6);
    PrintRow("  processor time, 99th percentile", "us", laneProcessorP99[i], 1e6);
  }
  std::printf("Jump back of a loop over the second measure, %d jumps each, after\n", runs);
  PrintRow("256 ports x 16 channels x 120 controllers", "ms", controllerJumps.passed, 1e3);
  PrintRow("  processor time", "ms", controllerJumps.processor, 1e3);
  PrintRow("a 1.4 MB lyric track", "ms", lyricJumps.passed, 1e3);
  PrintRow("  processor time", "ms", lyricJumps.processor, 1e3);
  return 0;
}
