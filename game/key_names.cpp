#include "game/key_names.h"

#include "draw/colour_order.h"
#include "draw/messages.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "files/settings.h"
#include "game/computer_keyboard.h"
#include "platform/platform.h"

namespace game {

namespace {

// Small enough to sit under a white key's arrow look and between a black
// key's arrow and its tip.
constexpr int kLabelHeight = 14;
constexpr int kLabelCellWidth = kLabelHeight / 2;
// Clear of the white key's bottom edge and of the black key's darker tip.
constexpr int kWhiteMargin = 4;
constexpr int kBlackMargin = 13;
// The note's name sits at the top of a white key's lower part, above the
// arrow an octave beyond shows.
constexpr int kNoteNameRise = 68;

constexpr std::uint32_t kKeyOnWhite = 0x000000;
constexpr std::uint32_t kNoteOnWhite = 0x1F3F8F;
constexpr std::uint32_t kKeyOnBlack = 0xFFFFFF;

// The white keys' names by semitone above C; black keys have none.
constexpr draw::PlayerText kNoteNames[12] = {
    {"ド", "C"}, {"", ""}, {"レ", "D"}, {"", ""}, {"ミ", "E"}, {"ファ", "F"},
    {"", ""},    {"ソ", "G"}, {"", ""}, {"ラ", "A"}, {"", ""}, {"シ", "B"}};

// `text` cut to `width`, centred on `centreX`, its cells' bottom at `bottom`.
void PutName(const std::string& text, int centreX, int bottom, int width, std::uint32_t colour) {
  const std::string fits = draw::CutUtf8ToCells(text, width / kLabelCellWidth);
  if (fits.empty()) return;
  draw::BeginText(draw::kFaceGothic, kLabelHeight);
  // No box behind the letters: the key's look (lit, an arrow) shows round them.
  draw::SetTextColors(draw::SwapColourOrder(colour), 0, 1);
  draw::PutUtf8Text(centreX - draw::Utf8Cells(fits) * kLabelCellWidth / 2, bottom - kLabelHeight, fits.c_str());
  draw::EndText();
}

// The Japanese faces draw the backslash as a yen sign; the full-width
// backslash reads as the key's own sign in them.
std::string ComputerKeyName(int key) {
  const std::string label = platform::KeyLabel(kNoteKeys[key]);
  return label == "\\" ? "＼" : label;
}

}  // namespace

bool KeyNamesShown() { return files::CurrentSettings().view != files::View::Plain; }

std::string NoteNameOfKey(int key) { return draw::InPlayersLanguage(kNoteNames[key % 12]); }

void DrawKeyNames(int key, int centreX, int bottom, int width, bool black) {
  if (!KeyNamesShown() || key < 0 || key >= kNoteKeyCount) return;
  const std::string computerKey = ComputerKeyName(key);
  if (black) {
    PutName(computerKey, centreX, bottom - kBlackMargin, width, kKeyOnBlack);
  } else {
    PutName(computerKey, centreX, bottom - kWhiteMargin, width, kKeyOnWhite);
    PutName(NoteNameOfKey(key), centreX, bottom - kNoteNameRise + kLabelHeight, width, kNoteOnWhite);
  }
  draw::RequestRedraw();
}

}  // namespace game
