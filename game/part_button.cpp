#include "game/part_button.h"

#include "draw/eldraw.h"
#include "draw/redraw.h"
#include "draw/text.h"
#include "files/load_song.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "platform/platform.h"
#include "song/song_parts.h"

namespace game {

// Whether the chosen part's name is in the lyric bar, and since when.
namespace {
struct State {
  bool nameShown = false;
  std::uint32_t nameShownAt = 0;
};
State state;
}  // namespace

// The bar holds 76 cells; the label's start leaves this much for the name.
static constexpr std::size_t kNameCells = 60;

void ResetPartButton() { state = {}; }

std::string PartButtonFaceText() {
  const int chosen = song::ChosenPart();
  return chosen == song::kNoPart ? "PART" : "PART " + std::to_string(chosen + 1);
}

// The name cut to the bar, never in the middle of a double-byte character.
static std::string NameThatFits(const std::string& name) {
  std::size_t length = 0;
  while (length < name.size()) {
    const auto b = static_cast<std::uint8_t>(name[length]);
    const std::size_t step = platform::IsLeadByteIn(platform::SongTextCodePage(), b) ? 2 : 1;
    if (length + step > kNameCells || length + step > name.size()) break;
    length += step;
  }
  return name.substr(0, length);
}

std::string ChosenPartLabel() {
  const int chosen = song::ChosenPart();
  if (chosen == song::kNoPart) return {};
  return PartButtonFaceText() + "/" + std::to_string(song::PartCount()) + ": " + NameThatFits(song::Part(chosen).name);
}

void RunPartButton() {
  if (song::PartCount() > 0) {
    song::ChoosePart((song::ChosenPart() + 1) % song::PartCount());
    files::ReadSongRanking();  // RANK and a new best score use the part's own
    RestoreLyricBar();
    draw::DrawCellText(kLyricColumn, kLyricRow, ChosenPartLabel().c_str());
    state.nameShown = true;
    state.nameShownAt = platform::TimeMs();
  }
  const SourceRect r = ButtonRect(kButtonPart);
  draw::PressBox(r.left, r.top, r.right, r.bottom);
}

void RunPartNameDisplay() {
  if (state.nameShown && platform::TimeMs() - state.nameShownAt >= kPartNameShownMs) HidePartName();
}

void HidePartName() {
  if (!state.nameShown) return;
  state.nameShown = false;
  RestoreLyricBar();
  draw::RequestRedraw();
}

}  // namespace game
