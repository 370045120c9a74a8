#include "platform/desktop/synth_recorder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace platform::desktop {

// The renderer and its clock: the moment last read from TimeMs, the whole
// milliseconds elapsed since the first frame, and the frames written. Only
// frames are counted: converting rendered frames back to milliseconds
// would lose the fraction at every message.
static fluid_file_renderer_t* renderer = nullptr;
static int sampleRate = 0;
static int blockFrames = 0;
static std::atomic<bool> clockStarted{false};
static std::uint32_t lastSeenMs = 0;
static std::uint64_t elapsedMs = 0;
static std::uint64_t renderedFrames = 0;
// The keep-up thread, and the lock under which anything is rendered.
static std::mutex renderLock;
static std::condition_variable stopRequested;
static bool stopping = false;
static std::thread keepUp;

static constexpr auto kKeepUpPeriod = std::chrono::milliseconds(10);

static void RecordUntilNow();

bool OpenRecorder(fluid_settings_t* settings, fluid_synth_t* synth, const std::string& path) {
  fluid_settings_setstr(settings, "audio.file.name", path.c_str());
  fluid_settings_setstr(settings, "audio.file.type", "wav");
  fluid_settings_setstr(settings, "audio.file.format", "s16");
  double rate = 0;
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  fluid_settings_getint(settings, "audio.period-size", &blockFrames);
  sampleRate = static_cast<int>(rate);
  clockStarted = false;
  renderer = new_fluid_file_renderer(synth);
  return renderer != nullptr && sampleRate > 0 && blockFrames > 0;
}

static void KeepUp() {
  std::unique_lock<std::mutex> lock(renderLock);
  while (!stopping) {
    RecordUntilNow();
    stopRequested.wait_for(lock, kKeepUpPeriod);
  }
}

void StartRecorderClock() {
  {
    const std::lock_guard<std::mutex> lock(renderLock);
    lastSeenMs = TimeMs();
    elapsedMs = 0;
    renderedFrames = 0;
    stopping = false;
    clockStarted.store(true, std::memory_order_release);
  }
  if (!keepUp.joinable()) keepUp = std::thread(KeepUp);
}

RecorderHold::RecorderHold() {
  renderLock.lock();
  RecordUntilNow();
}

RecorderHold::~RecorderHold() { renderLock.unlock(); }

// Called with the render lock held.
static void RecordUntilNow() {
  if (renderer == nullptr || !clockStarted.load(std::memory_order_acquire)) return;
  const std::uint32_t now = TimeMs();
  elapsedMs += static_cast<std::uint32_t>(now - lastSeenMs);  // the clock wraps after 49 days
  lastSeenMs = now;
  const std::uint64_t due = elapsedMs * static_cast<std::uint64_t>(sampleRate) / 1000;
  // Only whole blocks: the file never runs ahead of the clock.
  while (renderedFrames + static_cast<std::uint64_t>(blockFrames) <= due) {
    fluid_file_renderer_process_block(renderer);
    renderedFrames += static_cast<std::uint64_t>(blockFrames);
  }
}

void CloseRecorder() {
  if (keepUp.joinable()) {
    {
      const std::lock_guard<std::mutex> lock(renderLock);
      stopping = true;
    }
    stopRequested.notify_all();
    keepUp.join();
  }
  const std::lock_guard<std::mutex> lock(renderLock);
  if (renderer == nullptr) return;
  RecordUntilNow();
  delete_fluid_file_renderer(renderer);
  renderer = nullptr;
  clockStarted = false;
}

}  // namespace platform::desktop
