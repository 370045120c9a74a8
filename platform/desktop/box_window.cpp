// The message box window of the helper process: the text in the program's
// Gothic face on a light panel, the buttons below it on the right.
#include "platform/desktop/box_window.h"

#include <SDL_ttf.h>
#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/common/font_files.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/x11_display.h"

namespace platform::desktop {

namespace {

constexpr int kFontPixels = 16;
constexpr int kMargin = 20;
constexpr int kTextWidthMax = 560;
constexpr int kBoxWidthMin = 300;
constexpr int kButtonHeight = 30;
constexpr int kButtonWidthMin = 96;
constexpr int kButtonPadding = 16;
constexpr int kButtonGap = 12;
constexpr SDL_Color kPanel{0xF2, 0xF2, 0xF2, 0xFF};
constexpr SDL_Color kInk{0x1A, 0x1A, 0x1A, 0xFF};
constexpr SDL_Color kButtonFace{0xE4, 0xE4, 0xE4, 0xFF};
constexpr SDL_Color kButtonPressed{0xC8, 0xC8, 0xC8, 0xFF};
constexpr SDL_Color kButtonEdge{0x8C, 0x8C, 0x8C, 0xFF};
constexpr SDL_Color kFocusEdge{0x2A, 0x6B, 0xD0, 0xFF};

struct Button {
  const char* label;
  int answer;
  SDL_Rect area;
};

struct Layout {
  std::vector<std::string> lines;
  int lineSkip = 0;
  std::vector<Button> buttons;
  int width = 0;
  int height = 0;
};

// The lines of the text; the line end that closes the last line opens no
// empty line after it.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

int TextWidth(TTF_Font* font, const std::string& text) {
  int width = 0, height = 0;
  return TTF_SizeUTF8(font, text.c_str(), &width, &height) == 0 ? width : 0;
}

// Bytes of the UTF-8 character that begins with `lead`.
std::size_t CharacterLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Breaks a line between characters where it would pass the text width.
void Wrap(TTF_Font* font, const std::string& line, std::vector<std::string>& out) {
  std::string current;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = std::min(CharacterLength(static_cast<unsigned char>(line[i])), line.size() - i);
    const std::string next = current + line.substr(i, length);
    if (!current.empty() && TextWidth(font, next) > kTextWidthMax) {
      out.push_back(current);
      current = line.substr(i, length);
    } else {
      current = next;
    }
    i += length;
  }
  out.push_back(current);
}

Layout MakeLayout(TTF_Font* font, const BoxRequest& request) {
  Layout layout;
  for (const std::string& line : SplitLines(request.text)) Wrap(font, line, layout.lines);
  layout.lineSkip = TTF_FontLineSkip(font) + 2;
  int textWidth = 0;
  for (const std::string& line : layout.lines) textWidth = std::max(textWidth, TextWidth(font, line));
  if (request.question) layout.buttons = {{"はい (Yes)", kBoxYes, {}}, {"いいえ (No)", kBoxNo, {}}};
  else layout.buttons = {{"OK", kBoxYes, {}}};
  int buttonsWidth = 0;
  for (Button& button : layout.buttons) {
    button.area.w = std::max(kButtonWidthMin, TextWidth(font, button.label) + 2 * kButtonPadding);
    button.area.h = kButtonHeight;
    buttonsWidth += button.area.w + (buttonsWidth > 0 ? kButtonGap : 0);
  }
  layout.width = std::max({kBoxWidthMin, textWidth + 2 * kMargin, buttonsWidth + 2 * kMargin});
  const int textHeight = static_cast<int>(layout.lines.size()) * layout.lineSkip;
  layout.height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
  int x = layout.width - kMargin - buttonsWidth;
  for (Button& button : layout.buttons) {
    button.area.x = x;
    button.area.y = layout.height - kMargin - kButtonHeight;
    x += button.area.w + kButtonGap;
  }
  return layout;
}

void Fill(SDL_Renderer* renderer, const SDL_Rect& area, SDL_Color colour) {
  SDL_SetRenderDrawColor(renderer, colour.r, colour.g, colour.b, colour.a);
  SDL_RenderFillRect(renderer, &area);
}

void PutText(SDL_Renderer* renderer, TTF_Font* font, const std::string& text, int x, int y) {
  if (text.empty()) return;
  SDL_Surface* surface = TTF_RenderUTF8_Blended(font, text.c_str(), kInk);
  if (surface == nullptr) return;
  if (SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface)) {
    const SDL_Rect area{x, y, surface->w, surface->h};
    SDL_RenderCopy(renderer, texture, nullptr, &area);
    SDL_DestroyTexture(texture);
  }
  SDL_FreeSurface(surface);
}

void Draw(SDL_Renderer* renderer, TTF_Font* font, const Layout& layout, int focused, int pressed) {
  Fill(renderer, {0, 0, layout.width, layout.height}, kPanel);
  int y = kMargin;
  for (const std::string& line : layout.lines) {
    PutText(renderer, font, line, kMargin, y);
    y += layout.lineSkip;
  }
  for (int i = 0; i < static_cast<int>(layout.buttons.size()); ++i) {
    const Button& button = layout.buttons[static_cast<std::size_t>(i)];
    const SDL_Rect& a = button.area;
    const int edge = i == focused ? 2 : 1;
    Fill(renderer, a, i == focused ? kFocusEdge : kButtonEdge);
    Fill(renderer, {a.x + edge, a.y + edge, a.w - 2 * edge, a.h - 2 * edge}, i == pressed ? kButtonPressed : kButtonFace);
    const int labelWidth = TextWidth(font, button.label);
    PutText(renderer, font, button.label, a.x + (a.w - labelWidth) / 2, a.y + (a.h - TTF_FontHeight(font)) / 2);
  }
  SDL_RenderPresent(renderer);
}

int ButtonAt(const Layout& layout, int x, int y) {
  const SDL_Point point{x, y};
  for (std::size_t i = 0; i < layout.buttons.size(); ++i)
    if (SDL_PointInRect(&point, &layout.buttons[i].area)) return static_cast<int>(i);
  return -1;
}

// A request the server refuses (the focus given to a window the window
// manager has not shown yet) must not end the helper: the box still works.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Tells the window manager that the box belongs to the game's window (kept
// above it, the focus handed to it) and is a modal dialog, and puts it over
// the middle of the game's window.
void TieToParent(SDL_Window* box, unsigned long parent, const Layout& layout) {
  Display* display = nullptr;
  Window window = 0;
  if (parent == 0 || !X11WindowOf(box, display, window)) return;
  XSetTransientForHint(display, window, parent);
  const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
  const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
  XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
  const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
  const Atom modal = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
  XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&modal), 1);
  XWindowAttributes attributes;
  Window child = 0;
  int parentX = 0, parentY = 0;
  if (XGetWindowAttributes(display, parent, &attributes) != 0 &&
      XTranslateCoordinates(display, parent, DefaultRootWindow(display), 0, 0, &parentX, &parentY, &child) != 0)
    SDL_SetWindowPosition(box, parentX + (attributes.width - layout.width) / 2,
                          parentY + (attributes.height - layout.height) / 2);
}

// The answering keys that are down as the box appears: a key held since
// before (Escape, which brought the exit question) keeps repeating, and
// answers nothing until it has been let go.
std::vector<SDL_Keycode> AnsweringKeysHeld(SDL_Window* box) {
  std::vector<SDL_Keycode> held;
  Display* display = nullptr;
  Window window = 0;
  if (!X11WindowOf(box, display, window)) return held;
  char keys[32] = {};
  XQueryKeymap(display, keys);
  const std::pair<KeySym, SDL_Keycode> answering[] = {
      {XK_Escape, SDLK_ESCAPE}, {XK_Return, SDLK_RETURN}, {XK_KP_Enter, SDLK_KP_ENTER}, {XK_space, SDLK_SPACE}};
  for (const auto& [symbol, key] : answering) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code != 0 && (keys[code / 8] & (1 << (code % 8))) != 0) held.push_back(key);
  }
  return held;
}

// The box waits for its answer: keys, clicks on a button, or the close.
int Answer(SDL_Window* box, SDL_Renderer* renderer, TTF_Font* font, const Layout& layout, bool question) {
  const int buttonCount = static_cast<int>(layout.buttons.size());
  int focused = 0, pressed = -1;
  std::vector<SDL_Keycode> held = AnsweringKeysHeld(box);
  Draw(renderer, font, layout, focused, pressed);
  SDL_Event e;
  while (SDL_WaitEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        return kBoxNo;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) return kBoxNo;
        if (e.window.event == SDL_WINDOWEVENT_SHOWN && SDL_GetKeyboardFocus() != box) SDL_SetWindowInputFocus(box);
        break;
      case SDL_KEYUP:
        held.erase(std::remove(held.begin(), held.end(), e.key.keysym.sym), held.end());
        break;
      case SDL_KEYDOWN:
        if (e.key.repeat != 0 || std::find(held.begin(), held.end(), e.key.keysym.sym) != held.end()) break;
        switch (e.key.keysym.sym) {
          case SDLK_RETURN:
          case SDLK_KP_ENTER:
          case SDLK_SPACE:
            return layout.buttons[static_cast<std::size_t>(focused)].answer;
          case SDLK_ESCAPE:
            return question ? kBoxNo : kBoxYes;
          case SDLK_LEFT:
            focused = (focused + buttonCount - 1) % buttonCount;
            break;
          case SDLK_RIGHT:
          case SDLK_TAB:
            focused = (focused + 1) % buttonCount;
            break;
          default:
            break;
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) {
          pressed = ButtonAt(layout, e.button.x, e.button.y);
          if (pressed >= 0) focused = pressed;
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && pressed >= 0 && ButtonAt(layout, e.button.x, e.button.y) == pressed)
          return layout.buttons[static_cast<std::size_t>(pressed)].answer;
        pressed = -1;
        break;
      default:
        break;
    }
    Draw(renderer, font, layout, focused, pressed);
  }
  return kBoxNo;
}

}  // namespace

int RunBoxWindow(const BoxRequest& request) {
  if (!StartVideo() || (TTF_WasInit() == 0 && TTF_Init() != 0)) return kBoxNotShown;
  const std::string fontFile = FontFileOf(kFaceGothic);
  TTF_Font* font = fontFile.empty() ? nullptr : TTF_OpenFont(fontFile.c_str(), kFontPixels);
  if (font == nullptr) return kBoxNotShown;
  // The Gothic face's full hinting flattens the underscore to nothing at
  // this size ("file_name" read "file name"); the light one keeps it.
  TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
  const Layout layout = MakeLayout(font, request);
  SDL_Window* box = SDL_CreateWindow(request.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, layout.width,
                                     layout.height, SDL_WINDOW_HIDDEN);
  SDL_Renderer* renderer = box != nullptr ? SDL_CreateRenderer(box, -1, SDL_RENDERER_SOFTWARE) : nullptr;
  int answer = kBoxNotShown;
  if (renderer != nullptr) {
    Display* display = nullptr;
    Window window = 0;
    if (X11WindowOf(box, display, window)) XSetErrorHandler(IgnoreXError);
    TieToParent(box, request.parent, layout);
    SDL_ShowWindow(box);
    SDL_RaiseWindow(box);
    SDL_SetWindowInputFocus(box);
    answer = Answer(box, renderer, font, layout, request.question);
  }
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  if (box != nullptr) SDL_DestroyWindow(box);
  TTF_CloseFont(font);
  TTF_Quit();
  ReleaseFontConfig();
  return answer;
}

}  // namespace platform::desktop
