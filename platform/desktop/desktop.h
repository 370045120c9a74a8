// What the desktop backend's own files share; never seen by the program.
#pragma once

#include <cstdarg>

struct SDL_Window;

namespace platform {
struct Event;
}

namespace platform::desktop {

// Starts SDL's video on a real display (X11 or Wayland); false when there
// is none. SDL's stand-in drivers (offscreen, dummy), which draw where no
// one can see, are taken only when SDL_VIDEODRIVER names them.
bool StartVideo();

// The program's main window, or nullptr before it exists.
SDL_Window* MainWindow();
bool MainWindowIsFullScreen();

// A window the game opened (a message box, the file chooser) has closed, or
// the game's window was clicked without the keyboard: with no window manager
// to hand the keyboard to the game, it takes the focus itself.
void TakeFocusBack();

// Puts an event of the backend's own at the end of the program's queue.
void QueueEvent(const Event& event);

// Shows the last presented frame again: the window was exposed, resized or
// got the focus back. The program's own redraw requests are not involved.
void PresentAgain();

// A point of the program's 640 x 480 picture in the window's own
// coordinates, through the scale and letterbox of the presentation.
void PictureToWindow(int x, int y, int& windowX, int& windowY);
// The other way: a point of the window in the picture's coordinates
// (outside 0..639, 0..479 where it lies in the black around the picture).
void WindowToPicture(int windowX, int windowY, int& x, int& y);

// Applies the confinement the program asked for again, after the window's
// size (and so the picture's place in it) changed or it got the focus.
void ApplyConfinement();

// Takes the requests of second copies: the window is raised (not while
// `dialogUp`: then once the dialog is gone) and a song asked for waits for
// TakeRequestedSong. Called at every turn of the main loop and while a
// dialog is up, so that no second copy waits.
void ServeSecondCopies(bool dialogUp);

// Drops the keyboard and mouse presses and the close requests that reached
// the game's window while a message box was up: they were meant for the box.
void DropInputFromWhileBoxWasUp();

// --- The X server behind SDL's window (nothing happens on other drivers).

// Asks the window manager to show a window not yet shown in the full-screen
// state, above panels and docks.
void AskForFullScreenState(SDL_Window* window);
// True when a window manager announces itself on the window's display.
bool WindowManagerRunning(SDL_Window* window);
// The pointer's position on the screen, read from the server now.
bool PointerOnScreen(int& x, int& y);
// The main window's X window id, or 0.
unsigned long MainWindowId();
// Waits until the server has sent every event it has for us.
void SyncWithDisplay();
// Once the process's dialog window is shown, gives it a size that fits the
// screen (when it is larger than nine tenths of it), centred on the game's
// window. False while the window is not shown yet: asked again later.
bool FitDialogOfProcess(long pid);

// --- TONQUILL_INPUT_LOG: every input event the program takes, one line each.
void LogInput(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace platform::desktop
