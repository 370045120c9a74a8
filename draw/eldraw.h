// The elDraw module: the screen, the object table of pictures, and the
// clipped and keyed copies, lines and bevels with which every
// frame is composed on the back screen.
#pragma once

#include <cstdint>

#include "draw/surface.h"

namespace elDraw {

// --- Screen set-up and presentation ---

// Sets up the back screen, the internal objects 0..3, the pixel format and
// the presentation; returns 1, or 0 after a failure report.
int Screen(int width, int height);
// Shows the back screen (after the vertical blank; a failed wait drops the
// frame).
void Present();
// Releases every object and the screen.
void Release();
void SetClip(int left, int top, int right, int bottom);

// --- Objects ---

// The current colour key (a GDI colour) for the following loads.
void SetKeyColor(std::uint32_t colorRef);
// Loads a bitmap into a new object; returns 4..1023, or 0 after a report.
int LoadObject(const char* name);

// --- Blits and primitives ---

void Put(int x, int y, int object, int left, int top, int right, int bottom);
void PutKeyed(int x, int y, int object, int left, int top, int right, int bottom);
void Line(int x1, int y1, int x2, int y2, std::uint32_t colorRef, int penWidth);
// Bevel styles: raised (3 pixels, light above and left), thin sunken (2
// pixels) and sunken (3 pixels, dark above and left).
inline constexpr int kBevelRaised = 0;
inline constexpr int kBevelThinSunken = 1;
inline constexpr int kBevelSunken = 2;
void Bevel(int left, int top, int right, int bottom, int style);

}  // namespace elDraw

namespace draw {

// The program's one screen: every frame is composed and shown at this size.
inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

inline constexpr int kObjectCount = 1024;
inline constexpr int kFirstLoadedObject = 4;
inline constexpr int kObjectNameMax = 30;
inline constexpr int kBufferObject = 0;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kGrey = 0x7F7F7F;

struct ObjectEntry {
  Surface* surface;  // null when the entry has none
  char name[32];
  int fromPack;
  std::uint16_t width;
  std::uint16_t height;
};

struct ChannelFormat {
  std::uint32_t mask;
  int shift;
  std::uint32_t maximum;
};
struct PixelFormat {
  ChannelFormat red, green, blue;
};

struct ClipRect {
  int left, top, right, bottom;
};

Surface& BackScreen();
const ClipRect& Clip();
const ObjectEntry& Object(int number);
Surface* ObjectSurface(int number);
const PixelFormat& ScreenPixelFormat();

// Sets an object surface's source colour key from a GDI colour.
void SetObjectKey(Surface& surface, std::uint32_t colorRef);
// The surface's pixel value for a GDI colour; -1 (all bits) asks for the
// top-left pixel.
std::uint32_t ColorToPixel(Surface& surface, std::uint32_t colorRef);
// Draws a bitmap onto the whole surface, stretched when the sizes differ.
int CopyBitmap(Surface* surface, const struct Bitmap* bitmap);

// Bits per pixel of the desktop.
int DesktopDepth();
// Confines the cursor to the screen (full screen) or the client area.
void ConfineCursor();
// Where the window's client area lies on the desktop, as the window
// procedure last heard it: the windowed cursor test and the confinement
// read it.
void SetClientOrigin(int x, int y);
int ClientLeft();
int ClientTop();

// Clips a copy of the source rectangle to (x, y) against the clip
// rectangle: the right and bottom edges first, both from the unclipped
// position, then the left and top. False when nothing is left to copy.
bool ClipCopy(int& x, int& y, int& left, int& top, int& right, int& bottom);

// States of the remembered pressed box: none, a momentary button that
// comes up again when the mouse button does, and a mode button that stays
// drawn pressed.
inline constexpr int kBoxNone = 0;
inline constexpr int kBoxMomentary = 1;
inline constexpr int kBoxMode = 2;

// A button box drawn sunken and remembered (kBoxMomentary), and raised
// again.
void PressBox(int left, int top, int right, int bottom);
void ReleaseBox();
int PressedBoxState();
void SetPressedBoxState(int state);

// Fills an internal object's entry (0..3) at screen set-up.
void InstallInternalObject(int number, Surface* surface, const char* name, int width, int height);

// Full screen or a window: decided by the shell before the screen set-up,
// possibly changed by the start-up colour-depth check; kept here.
void SetFullScreenFlag(bool fullScreen);
bool FullScreenFlag();

// The screen, the objects and the text settings back to the state before
// set-up; ResetObjects alone empties the object table.
void ResetDraw();
void ResetObjects();

}  // namespace draw
