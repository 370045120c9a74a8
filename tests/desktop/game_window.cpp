#include "game_window.h"

#include "synth_listening.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace test {

int PeakOfWav(const std::string& path, double from, double to) {
  const Wav wav = ReadWav(path);
  if (wav.rate <= 0 || wav.channels <= 0) return -1;
  const auto sampleAt = [&wav](double seconds) {
    const double index = std::max(seconds, 0.0) * wav.rate * wav.channels;
    return index >= static_cast<double>(wav.samples.size()) ? wav.samples.size() : static_cast<std::size_t>(index);
  };
  int peak = 0;
  for (std::size_t at = sampleAt(from); at < sampleAt(to); ++at) peak = std::max(peak, std::abs(static_cast<int>(wav.samples[at])));
  return peak;
}

void GameWindowTest::StartGame(const std::string& argument, const std::vector<std::string>& environment,
                               bool startUpMessage) {
  StartGameWithArguments({argument}, environment, startUpMessage);
}

void GameWindowTest::StartGameWithArguments(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                               bool startUpMessage) {
  ASSERT_TRUE(display_.Running());
  game_ = std::make_unique<Game>(arguments, environment, program_);
  folder_ = game_->Folder();
  wav_ = folder_ + "/game.wav";
  window_ = WaitForWindow("Tonquill", kStartUpSeconds);
  ASSERT_FALSE(window_.empty()) << "no window; the game said: " << game_->Output();
  if (startUpMessage) {
    ASSERT_TRUE(AnswerMessage("Return"));
  }
  // The piano is drawn: the main screen is up. The window's place is read
  // again meanwhile, as a window manager moves the window when it frames it.
  ASSERT_TRUE(WaitUntil(
      [this] {
        ReadWindowArea();
        return Pixel(8 + 26, 440) > 0xC00000;
      },
      kStartUpSeconds))
      << "the main screen did not show; the game said: " << game_->Output();
}

void GameWindowTest::ReadWindowArea() {
  const Area area = WindowArea(window_);
  left_ = area.left;
  top_ = area.top;
  width_ = area.right - area.left;
  height_ = area.bottom - area.top;
  scale_ = std::min(width_ / 640.0, height_ / 480.0);
}

void GameWindowTest::TearDown() { Quit(); }

bool GameWindowTest::Quit() {
  if (game_ == nullptr || window_.empty()) return true;
  // Escape brings the question, Return answers Yes. An Escape that arrives
  // while an earlier box is still closing is dropped with that box's
  // input: then it is pressed again, for half a minute at most (then the
  // Game's destructor ends the game).
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool ended = false;
  while (!ended && std::chrono::steady_clock::now() < giveUp) {
    RunCommand("xdotool key --window " + window_ + " Escape");
    const std::string box = WaitForMessageBox(3);
    if (!box.empty()) RunCommand("xdotool windowfocus " + box + " key Return 2>/dev/null");
    ended = game_->WaitForExit(box.empty() ? 0.1 : 5) >= 0;
  }
  window_.clear();
  return ended;
}

bool GameWindowTest::AnswerMessage(const std::string& key) {
  const std::string box = WaitForMessageBox(test::kStartUpSeconds);
  if (box.empty()) return false;
  RunCommand("xdotool windowfocus --sync " + box + " key " + key);
  return WaitUntil([] { return MessageBoxCount() == 0; }, 10);
}

int GameWindowTest::X(int x) const { return left_ + static_cast<int>((width_ - 640 * scale_) / 2 + (x + 0.5) * scale_); }
int GameWindowTest::Y(int y) const { return top_ + static_cast<int>((height_ - 480 * scale_) / 2 + (y + 0.5) * scale_); }

std::string GameWindowTest::Crop(int x, int y, int w, int h) const {
  return ScreenArea(X(x), Y(y), static_cast<int>(w * scale_), static_cast<int>(h * scale_));
}

long GameWindowTest::Pixel(int x, int y) const { return static_cast<long>(ScreenPixel(X(x), Y(y))); }

bool GameWindowTest::KeyLit(int column) const {
  const long p = Pixel(8 + 52 * column + 26, 440);
  return ((p >> 16) & 0xFF) > 200 && (p & 0xFF) < 150;
}

void GameWindowTest::ClickButton(int n) const {
  RunCommand("xdotool mousemove " + std::to_string(X(41 + 62 * n)) + " " + std::to_string(Y(195)) + " click 1");
}

bool GameWindowTest::PlayKey(const std::string& key, const std::function<bool()>& heard) const {
  RunCommand("xdotool keydown --window " + window_ + " " + key);
  const bool ok = WaitUntil(heard, 10);
  RunCommand("xdotool keyup --window " + window_ + " " + key);
  return ok;
}

std::string GameWindowTest::OpenTheDialog() const {
  ClickButton(0);
  std::string dialog;
  WaitUntil([&] {
    dialog = RunCommand("xdotool search --onlyvisible --class zenity 2>/dev/null | head -1");
    return !dialog.empty();
  }, kStartUpSeconds);
  return dialog;
}

bool GameWindowTest::DialogGone() {
  return RunCommand("xdotool search --onlyvisible --class zenity 2>/dev/null").empty();
}

bool GameWindowTest::ChooseInTheDialog(const std::string& dialog, const std::string& path) {
  // Control+L opens the location field whatever view the chooser shows (a
  // typed "/" would start a search in its recent files); Control+A then
  // takes in what an earlier try left there. Keys can come before the field
  // is open on a busy machine, and where the chooser shows its recent files
  // (no folder to start in) it drops a Return that follows the typing at
  // once: the path is typed again, and Return pressed again, until the
  // chooser closes.
  const auto typeAndConfirm = [&] {
    RunCommand("xdotool windowfocus --sync " + dialog + " key ctrl+l ctrl+a type --delay 20 '" + path + "' 2>/dev/null");
    for (int press = 0; press < 2; ++press) {
      if (DialogGone()) return true;
      RunCommand("xdotool windowfocus --sync " + dialog + " key Return 2>/dev/null");
      if (WaitUntil(DialogGone, 2)) return true;
    }
    return false;
  };
  return WaitUntil(typeAndConfirm, kStartUpSeconds);
}

double GameWindowTest::WavSeconds() const {
  std::ifstream in(wav_, std::ios::binary | std::ios::ate);
  return in ? (static_cast<double>(in.tellg()) - 44) / (44100.0 * 4) : 0;
}

}  // namespace test
