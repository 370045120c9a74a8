// The program's window on the desktop and the presentation of its frames:
// an SDL window with a renderer (vsync) and a streaming RGB565 texture. Full
// screen is a borderless desktop-sized window showing the 640 x 480 frame
// scaled with its aspect kept; window mode is a 640 x 480 window.
#include <SDL.h>

#include "platform/desktop/desktop.h"
#include "platform/platform.h"

namespace platform::desktop {

// The window, its renderer and the texture frames are uploaded to.
static SDL_Window* mainWindow = nullptr;
static SDL_Renderer* renderer = nullptr;
static SDL_Texture* frameTexture = nullptr;
static bool surfacesLost = false;

SDL_Window* MainWindow() { return mainWindow; }
void NoteSurfacesLost() { surfacesLost = true; }

}  // namespace platform::desktop

namespace platform {

using desktop::frameTexture;
using desktop::mainWindow;
using desktop::renderer;

bool CreateMainWindow(const char* title, bool fullScreen, int width, int height) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  const Uint32 flags = fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS : 0;
  mainWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
  return mainWindow != nullptr;
}

void DestroyMainWindow() {
  ClosePresentation();
  if (mainWindow) SDL_DestroyWindow(mainWindow);
  mainWindow = nullptr;
}

bool OpenPresentation(int width, int height) {
  if (mainWindow == nullptr) return false;
  renderer = SDL_CreateRenderer(mainWindow, -1, SDL_RENDERER_PRESENTVSYNC);
  if (renderer == nullptr) renderer = SDL_CreateRenderer(mainWindow, -1, SDL_RENDERER_SOFTWARE);
  if (renderer == nullptr) return false;
  SDL_RenderSetLogicalSize(renderer, width, height);  // scaled with its aspect kept
  frameTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (frameTexture == nullptr) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
    return false;
  }
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  return true;
}

void ClosePresentation() {
  if (frameTexture) SDL_DestroyTexture(frameTexture);
  if (renderer) SDL_DestroyRenderer(renderer);
  frameTexture = nullptr;
  renderer = nullptr;
}

// The renderer's vsync makes the present itself wait for the blank.
bool WaitVerticalBlank() { return renderer != nullptr; }

void PresentFrame(const std::uint16_t* pixels, int /*width*/, int /*height*/, int pitch) {
  if (renderer == nullptr) return;
  SDL_UpdateTexture(frameTexture, nullptr, pixels, pitch * 2);
  SDL_RenderClear(renderer);
  SDL_RenderCopy(renderer, frameTexture, nullptr, nullptr);
  SDL_RenderPresent(renderer);
}

bool TakeSurfacesLost() {
  const bool lost = desktop::surfacesLost;
  desktop::surfacesLost = false;
  return lost;
}

int DesktopBitsPerPixel() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 24;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
  return static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

void ConfineCursor(int left, int top, int right, int bottom) {
  if (mainWindow == nullptr) return;
  int windowX = 0, windowY = 0;
  SDL_GetWindowPosition(mainWindow, &windowX, &windowY);
  // Screen coordinates of the client area to the window's own.
  const SDL_Rect area{left - windowX, top - windowY, right - left, bottom - top};
  SDL_SetWindowMouseRect(mainWindow, &area);
}

void ReleaseCursor() {
  if (mainWindow) SDL_SetWindowMouseRect(mainWindow, nullptr);
}

// The built-in synthesizer owns the sound output; there is nothing to open.
bool OpenSoundDevice() { return true; }
void CloseSoundDevice() {}

}  // namespace platform
