// The program's 5-6-5 picture scaled into a window's pixels: the largest
// size that keeps its aspect, centred, nearest pixel, black around it.
// Pure memory work, so the window's surface can be filled without a GPU.
#pragma once

#include <cstdint>
#include <vector>

namespace platform::desktop {

struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Where a picture of pictureWidth x pictureHeight lies in a window of
// windowWidth x windowHeight (the same rule as a renderer's logical size).
PictureRect PicturePlace(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

class PictureScaler {
 public:
  // Prepares for a window of the given size whose pixels are 32 bits wide
  // and hold red, green and blue at the given shifts (8 bits each).
  void Prepare(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight, int redShift, int greenShift,
               int blueShift);
  bool PreparedFor(int windowWidth, int windowHeight, int redShift, int greenShift, int blueShift) const;

  // Writes the whole window: the picture (pitch in pixels) and black around
  // it. windowPitch is in bytes.
  void Scale(const std::uint16_t* picture, int picturePitch, std::uint32_t* window, int windowPitch) const;

 private:
  int windowWidth_ = 0, windowHeight_ = 0;
  int redShift_ = -1, greenShift_ = -1, blueShift_ = -1;
  PictureRect place_;
  std::vector<std::uint32_t> colours_;    // every 5-6-5 value in the window's format
  std::vector<int> sourceColumn_;         // for each column of the placed picture
  std::vector<int> sourceRow_;            // for each row of the placed picture
};

}  // namespace platform::desktop
