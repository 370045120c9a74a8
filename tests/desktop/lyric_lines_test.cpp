// The real game under Xvfb playing a real-world song whose lyrics come a
// syllable per event (with the line ends in events of their own): DEMO
// shows the whole line in the lyric bar and lights its syllables as the
// song reaches them. The song lies beside the project where it has it.

#include <fstream>
#include <string>

#include "game_window.h"

namespace {

using test::WaitUntil;

const std::string kSong = TONQUILL_SOURCE_DIR "/../shared/songs-real/mma_lyrics_twinkle.mid";

class LyricLinesOnScreen : public test::GameWindowTest {
 protected:
  // Whether the lyric bar, between picture columns from and to (x), holds
  // a pixel that `ink` accepts.
  template <typename Ink>
  bool BarHas(int from, int to, Ink ink) const {
    const std::string bar = Crop(kBarLeft, kBarTop, kBarWidth, kBarHeight);
    const int width = static_cast<int>(kBarWidth * scale_);
    const int rows = width > 0 ? static_cast<int>(bar.size() / 3) / width : 0;
    for (int row = 0; row < rows; ++row)
      for (int column = 0; column < width; ++column) {
        const int x = kBarLeft + static_cast<int>(column / scale_);
        if (x < from || x >= to) continue;
        const std::size_t i = 3 * (static_cast<std::size_t>(row) * width + column);
        if (ink(static_cast<unsigned char>(bar[i]), static_cast<unsigned char>(bar[i + 1]),
                static_cast<unsigned char>(bar[i + 2])))
          return true;
      }
    return false;
  }
  static constexpr int kBarLeft = 15, kBarTop = 224, kBarWidth = 610, kBarHeight = 16;
};

// The cells of line bytes first..last: x from 8 (first + 2) - 1.
constexpr int CellX(int byte) { return 8 * (byte + 2) - 1; }

TEST_F(LyricLinesOnScreen, DemoShowsWholeLinesAndLightsTheSungSyllables) {
  if (!std::ifstream(kSong)) GTEST_SKIP() << "no real-world songs beside the project";
  ASSERT_NO_FATAL_FAILURE(StartGame(kSong));
  ClickButton(4);  // DEMO
  const auto sung = [](int r, int g, int b) { return b > 0x80 && r < 0x40 && g < 0x40; };
  const auto dark = [](int r, int g, int b) { return r < 0x60 && g < 0x60 && b < 0x60; };
  // The first line, "Twinkle, Twinkle little star; ", is shown whole as
  // soon as its first syllable (bytes 0..8) is sung: ink stands under
  // "little star" (bytes 17..28) before the song reaches it.
  ASSERT_TRUE(WaitUntil([&] { return BarHas(CellX(0), CellX(9), sung); }, 20)) << "the first syllable lights";
  EXPECT_TRUE(BarHas(CellX(17), CellX(29), dark)) << "the rest of the line is shown, not yet sung";
  display_.Screenshot(TONQUILL_BINARY_DIR "/syllable_lyrics_demo.png");
  // Once the line is sung to its end, the next line replaces it, shown
  // whole again.
  ASSERT_TRUE(WaitUntil([&] { return BarHas(CellX(26), CellX(29), sung); }, 20)) << "\"star; \" lights";
  ASSERT_TRUE(WaitUntil([&] { return !BarHas(CellX(20), CellX(29), sung) && BarHas(CellX(0), CellX(4), sung) &&
                                     BarHas(CellX(20), CellX(29), dark); },
                        20))
      << "\"How I wonder what you are. \": its first syllable sung, its end shown";
  display_.Screenshot(TONQUILL_BINARY_DIR "/syllable_lyrics_demo_second_line.png");
}

}  // namespace
