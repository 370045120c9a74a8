// The object table of the elDraw module: pictures loaded from a file beside
// the program or from the bitmaps built into it.
#include <cstring>
#include <memory>
#include <string>

#include "base/module_state.h"
#include "draw/bmp.h"
#include "draw/eldraw.h"
#include "draw/embedded_assets.h"
#include "platform/platform.h"
#include "report/report.h"

namespace draw {

// The object table, the surfaces the loaded entries own, and the colour key
// the next load applies.
namespace {
struct State {
  ObjectEntry objectTable[kObjectCount]{};
  std::unique_ptr<Surface> loadedSurfaces[kObjectCount]{};
  std::uint32_t currentColorKey = 0;
};
base::ModuleState<State> state;
}  // namespace

static constexpr report::PlayerText kNameTooLong = {"ファイル名またはリソース名が長すぎます", "the file or picture name is too long"};
static constexpr report::PlayerText kTooManyObjects = {"オブジェクト数が多過ぎます", "too many pictures are loaded"};
static constexpr report::PlayerText kCannotRead = {"BMPファイルを読み込めません", "the BMP picture cannot be read"};

static void ClearEntry(int n) {
  state.objectTable[n] = ObjectEntry{nullptr, {}, 0, 0, 0};
  state.loadedSurfaces[n].reset();
}

void ResetObjects() { state.Reset(); }

const ObjectEntry& Object(int number) { return state.objectTable[number]; }
Surface* ObjectSurface(int number) {
  return number >= 0 && number < kObjectCount ? state.objectTable[number].surface : nullptr;
}

void InstallInternalObject(int number, Surface* surface, const char* name, int width, int height) {
  ObjectEntry& entry = state.objectTable[number];
  entry = ObjectEntry{surface, {}, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
  std::strncpy(entry.name, name, sizeof entry.name - 1);
  SetObjectKey(*surface, 0);
}

std::uint32_t ColorToPixel(Surface& surface, std::uint32_t colorRef) {
  if (surface.width == 0 || surface.height == 0) return 0xFFFFFFFFu;
  // The colour is written to the top-left pixel and read back as the
  // surface stores it; the pixel is put back afterwards.
  const Pixel remembered = surface.At(0, 0);
  if (colorRef != 0xFFFFFFFFu) surface.At(0, 0) = ColorRefToPixel(colorRef);
  const Pixel* pixels = surface.Lock();
  const std::uint32_t value = pixels[0];
  surface.Unlock();
  surface.At(0, 0) = remembered;
  return value;
}

void SetObjectKey(Surface& surface, std::uint32_t colorRef) {
  surface.hasColorKey = true;
  surface.colorKey = static_cast<Pixel>(ColorToPixel(surface, colorRef));
}

int CopyBitmap(Surface* surface, const Bitmap* bitmap) {
  if (surface == nullptr || bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) return -1;
  // A bitmap of another size is stretched over the whole surface.
  for (int y = 0; y < surface->height; ++y) {
    const int sy = static_cast<int>(static_cast<std::int64_t>(y) * bitmap->height / surface->height);
    for (int x = 0; x < surface->width; ++x) {
      const int sx = static_cast<int>(static_cast<std::int64_t>(x) * bitmap->width / surface->width);
      surface->At(x, y) = RgbToPixel(bitmap->rgb[static_cast<std::size_t>(sy) * static_cast<std::size_t>(bitmap->width) + static_cast<std::size_t>(sx)]);
    }
  }
  return 0;
}

bool ReadPicture(const char* name, Bitmap& bitmap) {
  std::string bytes;
  if (platform::ReadProgramFile(name, bytes) && DecodeBmp(bytes, bitmap)) return true;
  const std::string_view embedded = FindEmbeddedAsset(name);
  return !embedded.empty() && DecodeBmp(embedded, bitmap);
}

// Loads the picture into entry n; false when there is no picture.
static bool LoadInto(int n, const char* name) {
  Bitmap bitmap;
  if (!ReadPicture(name, bitmap)) return false;
  ObjectEntry& entry = state.objectTable[n];
  state.loadedSurfaces[n] = std::make_unique<Surface>(bitmap.width, bitmap.height);
  entry.surface = state.loadedSurfaces[n].get();
  entry.width = static_cast<std::uint16_t>(bitmap.width);
  entry.height = static_cast<std::uint16_t>(bitmap.height);
  CopyBitmap(entry.surface, &bitmap);
  SetObjectKey(*entry.surface, state.currentColorKey);
  return true;
}

static void NameEntry(int n, const char* name) {
  ObjectEntry& entry = state.objectTable[n];
  std::memset(entry.name, 0, sizeof entry.name);
  std::memcpy(entry.name, name, std::strlen(name));
  entry.fromPack = 0;
}

}  // namespace draw

namespace elDraw {

using namespace draw;

void SetKeyColor(std::uint32_t colorRef) { state.currentColorKey = colorRef; }

int LoadObject(const char* name) {
  if (std::strlen(name) > kObjectNameMax) return report::ReportError("elDraw::LoadObject", kNameTooLong, 0);
  int n = kFirstLoadedObject;
  while (n < kObjectCount && state.objectTable[n].name[0] != '\0') ++n;
  if (n == kObjectCount) return report::ReportError("elDraw::LoadObject", kTooManyObjects, 0);
  NameEntry(n, name);
  if (!LoadInto(n, name)) {
    ClearEntry(n);  // a failed load gives its entry back: nothing refers to it
    return report::ReportError("elDraw::LoadObject", kCannotRead, 0);
  }
  return n;
}

}  // namespace elDraw
