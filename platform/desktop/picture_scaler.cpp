#include "platform/desktop/picture_scaler.h"

#include <algorithm>
#include <cstring>

namespace platform::desktop {

PictureRect PicturePlace(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  PictureRect place;
  if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return place;
  // The side that fills first decides the scale; the other is centred.
  if (static_cast<long long>(windowWidth) * pictureHeight <= static_cast<long long>(windowHeight) * pictureWidth) {
    place.width = windowWidth;
    place.height = std::max(1, static_cast<int>(static_cast<long long>(pictureHeight) * windowWidth / pictureWidth));
    place.y = (windowHeight - place.height) / 2;
  } else {
    place.height = windowHeight;
    place.width = std::max(1, static_cast<int>(static_cast<long long>(pictureWidth) * windowHeight / pictureHeight));
    place.x = (windowWidth - place.width) / 2;
  }
  return place;
}

// A 5- or 6-bit channel widened to 8 bits, its top bits repeated below.
static std::uint32_t Widen(std::uint32_t value, int bits) { return (value << (8 - bits)) | (value >> (2 * bits - 8)); }

void PictureScaler::Prepare(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight, int redShift,
                            int greenShift, int blueShift) {
  if (redShift != redShift_ || greenShift != greenShift_ || blueShift != blueShift_) {
    colours_.resize(65536);
    for (std::uint32_t pixel = 0; pixel < 65536; ++pixel)
      colours_[pixel] = Widen(pixel >> 11, 5) << redShift | Widen((pixel >> 5) & 63, 6) << greenShift |
                        Widen(pixel & 31, 5) << blueShift;
    redShift_ = redShift, greenShift_ = greenShift, blueShift_ = blueShift;
  }
  windowWidth_ = windowWidth, windowHeight_ = windowHeight;
  place_ = PicturePlace(pictureWidth, pictureHeight, windowWidth, windowHeight);
  sourceColumn_.resize(place_.width);
  for (int x = 0; x < place_.width; ++x)
    sourceColumn_[x] = static_cast<int>(static_cast<long long>(x) * pictureWidth / place_.width);
  sourceRow_.resize(place_.height);
  for (int y = 0; y < place_.height; ++y)
    sourceRow_[y] = static_cast<int>(static_cast<long long>(y) * pictureHeight / place_.height);
}

bool PictureScaler::PreparedFor(int windowWidth, int windowHeight, int redShift, int greenShift, int blueShift) const {
  return windowWidth == windowWidth_ && windowHeight == windowHeight_ && redShift == redShift_ &&
         greenShift == greenShift_ && blueShift == blueShift_;
}

void PictureScaler::Scale(const std::uint16_t* picture, int picturePitch, std::uint32_t* window,
                          int windowPitch) const {
  auto row = [window, windowPitch](int y) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(window) + static_cast<long long>(y) * windowPitch);
  };
  const std::size_t rowBytes = static_cast<std::size_t>(windowWidth_) * 4;
  for (int y = 0; y < place_.y; ++y) std::memset(row(y), 0, rowBytes);
  for (int y = place_.y + place_.height; y < windowHeight_; ++y) std::memset(row(y), 0, rowBytes);
  for (int y = 0; y < place_.height; ++y) {
    std::uint32_t* out = row(place_.y + y);
    // A picture row shown on several window rows is converted once.
    if (y > 0 && sourceRow_[y] == sourceRow_[y - 1]) {
      std::memcpy(out, row(place_.y + y - 1), rowBytes);
      continue;
    }
    std::fill(out, out + place_.x, 0u);
    std::fill(out + place_.x + place_.width, out + windowWidth_, 0u);
    const std::uint16_t* in = picture + static_cast<long long>(sourceRow_[y]) * picturePitch;
    std::uint32_t* placed = out + place_.x;
    for (int x = 0; x < place_.width; ++x) placed[x] = colours_[in[sourceColumn_[x]]];
  }
}

}  // namespace platform::desktop
