#include "program_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/shell.h"
#include "draw/bmp.h"
#include "draw/eldraw.h"
#include "draw/embedded_assets.h"
#include "game/controls.h"
#include "midi/midi_out.h"
#include "program_reset.h"
#include "scene/input.h"

namespace test {

namespace pt = platform::testing;

void ProgramTest::TearDown() {
  midi::CloseMidiOutPorts();
  if (!songPath_.empty()) std::filesystem::remove_all(std::filesystem::path(songPath_).parent_path());
  if (!songFolder_.empty()) std::filesystem::remove_all(songFolder_);
}

const std::filesystem::path& ProgramTest::SongFolder() {
  if (songFolder_.empty()) songFolder_ = std::filesystem::path(WriteTempFile({}, "placeholder")).parent_path();
  return songFolder_;
}

void ProgramTest::Start(const std::string& line) {
  int exitCode = -1;
  ASSERT_TRUE(app::StartProgram(line.c_str(), exitCode));
  Pass();  // the start-up scene
  Pass();  // the main scene, entered
  pt::ClearMidiLog();
}

void ProgramTest::StartWithSong(const std::vector<Track>& tracks, std::uint16_t division) {
  songPath_ = WriteTempFile(SmfFile(tracks, division));
  // The whole line is the path; a path never begins with '-' here.
  Start(songPath_);
}

void ProgramTest::Pass(std::uint32_t ms) {
  pt::AdvanceTime(ms);
  while (pt::PendingEvents() > 0) app::PumpOnce();
  app::PumpOnce();
}

void ProgramTest::PassUntil(std::uint32_t time, std::uint32_t step) {
  while (platform::TimeMs() + step <= time) Pass(step);
}

void ProgramTest::PassOnGridUntil(std::uint32_t start, std::uint32_t time) {
  while (platform::TimeMs() < time) Pass(std::min(10 - (platform::TimeMs() - start) % 10, time - platform::TimeMs()));
}

bool ProgramTest::PassUntilHolds(const std::function<bool()>& condition, int frames) {
  for (int frame = 0; frame < frames; ++frame) {
    if (condition()) return true;
    Pass();
  }
  return condition();
}

void ProgramTest::PressMouse(int x, int y) {
  pt::PushEvent({platform::EventKind::MouseMove, x, y});
  pt::PushEvent({platform::EventKind::LeftDown, x, y});
  Pass();
}

void ProgramTest::ReleaseMouse() {
  pt::PushEvent({platform::EventKind::LeftUp, scene::PointerX(), scene::PointerY()});
  Pass();
}

void ProgramTest::Click(int x, int y) {
  PressMouse(x, y);
  ReleaseMouse();
}

void ProgramTest::ClickButton(int n) {
  const game::SourceRect r = game::ButtonRect(n);
  Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void ProgramTest::KeyDown(int virtualKey) { pt::PushEvent({platform::EventKind::KeyDown, 0, 0, virtualKey}); }
void ProgramTest::KeyUp(int virtualKey) { pt::PushEvent({platform::EventKind::KeyUp, 0, 0, virtualKey}); }

void ProgramTest::Tap(int virtualKey, int frames) {
  KeyDown(virtualKey);
  for (int i = 0; i < frames; ++i) Pass();
  KeyUp(virtualKey);
  Pass();
}

std::vector<Bytes> ProgramTest::TakeSent() {
  std::vector<Bytes> out;
  for (const auto& e : pt::MidiLog())
    if (e.kind == pt::MidiLogEntry::Short || e.kind == pt::MidiLogEntry::Long) out.push_back(e.bytes);
  pt::ClearMidiLog();
  return out;
}

std::vector<Bytes> ProgramTest::NoteOns(const std::vector<Bytes>& sent) {
  std::vector<Bytes> out;
  for (const Bytes& b : sent)
    if (b.size() == 3 && b[0] == 0x90 && b[2] != 0) out.push_back({b[1], b[2]});
  return out;
}

draw::Pixel ProgramTest::Shown(int x, int y) {
  return pt::LastFrame().at(static_cast<std::size_t>(y * 640 + x));
}

draw::Pixel ProgramTest::Artwork(int x, int y) {
  static const draw::Bitmap art = [] {
    draw::Bitmap bitmap;
    draw::DecodeBmp(draw::FindEmbeddedAsset("BASC"), bitmap);
    return bitmap;
  }();
  return draw::RgbToPixel(art.rgb.at(static_cast<std::size_t>(y * art.width + x)));
}

bool ProgramTest::ShowsArtwork(int x, int y, const game::SourceRect& source) {
  for (int sy = source.top; sy < source.bottom; ++sy)
    for (int sx = source.left; sx < source.right; ++sx)
      if (Shown(x + sx - source.left, y + sy - source.top) != Artwork(sx, sy)) return false;
  return true;
}

bool ProgramTest::ShowsArtworkOnBackScreen(int x, int y, const game::SourceRect& source) {
  const draw::Surface& screen = draw::BackScreen();
  for (int sy = source.top; sy < source.bottom; ++sy)
    for (int sx = source.left; sx < source.right; ++sx)
      if (screen.At(x + sx - source.left, y + sy - source.top) != Artwork(sx, sy)) return false;
  return true;
}

}  // namespace test
