#include "platform/desktop/soundfont_loading.h"

#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace platform::desktop {

// The thread that reads the font, the request to abandon it, and the
// tests' hold on it.
static std::thread loadingThread;
static std::atomic<bool> abandoned{false};
static std::mutex holdLock;
static std::condition_variable holdChanged;
static bool held = false;

static const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"};
// The font is handed to the synthesizer under this prefix: FluidSynth's own
// loader cannot open such a name, so only the abandonable reader below
// loads it (an abandoned read must not be retried by another loader).
static const char kReaderPrefix[] = "tonquill-abandonable-read:";
// Reads are made in pieces of this size, so that an abandoned load stops
// within a few milliseconds even in the middle of the sample data.
static constexpr fluid_long_long_t kReadPiece = 1 << 20;

std::string FindSoundFont() {
  if (const char* chosen = std::getenv("TONQUILL_SOUNDFONT"); chosen != nullptr && chosen[0] != '\0')
    return access(chosen, R_OK) == 0 ? chosen : "";
  for (const char* path : kSoundFonts)
    if (access(path, R_OK) == 0) return path;
  return "";
}

bool LooksLikeSoundFont(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char head[12] = {};
  const bool whole = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  return whole && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

static void* OpenFont(const char* name) {
  if (std::strncmp(name, kReaderPrefix, sizeof kReaderPrefix - 1) != 0) return nullptr;
  return std::fopen(name + sizeof kReaderPrefix - 1, "rb");
}

static int ReadFont(void* buffer, fluid_long_long_t count, void* file) {
  auto* bytes = static_cast<char*>(buffer);
  while (count > 0) {
    if (abandoned) return FLUID_FAILED;
    const auto piece = static_cast<std::size_t>(std::min(count, kReadPiece));
    if (std::fread(bytes, 1, piece, static_cast<FILE*>(file)) != piece) return FLUID_FAILED;
    bytes += piece;
    count -= static_cast<fluid_long_long_t>(piece);
  }
  return FLUID_OK;
}

static int SeekFont(void* file, fluid_long_long_t offset, int origin) {
  return fseeko(static_cast<FILE*>(file), static_cast<off_t>(offset), origin) == 0 ? FLUID_OK : FLUID_FAILED;
}

static fluid_long_long_t TellFont(void* file) { return ftello(static_cast<FILE*>(file)); }

static int CloseFont(void* file) { return std::fclose(static_cast<FILE*>(file)) == 0 ? FLUID_OK : FLUID_FAILED; }

void StartLoadingSoundFont(fluid_synth_t* synth, const std::string& path, std::function<void(bool)> finished) {
  StopLoadingSoundFont();
  // A program that ends without closing the synthesizer still ends cleanly.
  [[maybe_unused]] static const bool stopsAtExit = std::atexit(StopLoadingSoundFont) == 0;
  abandoned = false;
  // The synthesizer tries the loader added last first.
  fluid_sfloader_t* reader = new_fluid_defsfloader(fluid_synth_get_settings(synth));
  if (reader != nullptr) {
    fluid_sfloader_set_callbacks(reader, OpenFont, ReadFont, SeekFont, TellFont, CloseFont);
    fluid_synth_add_sfloader(synth, reader);
  }
  loadingThread = std::thread([synth, name = kReaderPrefix + path, finished = std::move(finished)] {
    {
      std::unique_lock<std::mutex> lock(holdLock);
      holdChanged.wait(lock, [] { return !held || abandoned; });
    }
    if (abandoned) return;
    const bool loaded = fluid_synth_sfload(synth, name.c_str(), 1) != FLUID_FAILED;
    if (!abandoned) finished(loaded);
  });
}

void StopLoadingSoundFont() {
  if (!loadingThread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(holdLock);
    abandoned = true;
  }
  holdChanged.notify_all();
  loadingThread.join();
}

void HoldSoundFontLoading(bool hold) {
  {
    std::lock_guard<std::mutex> lock(holdLock);
    held = hold;
  }
  holdChanged.notify_all();
}

}  // namespace platform::desktop
