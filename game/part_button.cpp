#include "game/part_button.h"

#include "draw/eldraw.h"
#include "draw/messages.h"
#include "draw/text.h"
#include "files/load_song.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "game/view_key.h"
#include "platform/platform.h"
#include "player/playback_clock.h"
#include "scene/input.h"
#include "song/song_parts.h"

namespace game {

// %1 the part's number and the count of parts ("2/3"), %2 its name, %3
// its notes.
static constexpr draw::PlayerText kPartLabel = {"パート %1：%2（%3音）", "PART %1: %2 (%3 notes)"};

std::string PartButtonFaceText() {
  const int chosen = song::ChosenPart();
  return chosen == song::kNoPart ? "PART" : "PART " + std::to_string(chosen + 1);
}

// The pattern with %1, %2 and %3 filled; the name is cut so the whole
// text fits `cells` cells.
static std::string FillLabel(const char* pattern, int cells) {
  const int chosen = song::ChosenPart();
  const song::SongPart& part = song::Part(chosen);
  const std::string number = std::to_string(chosen + 1) + "/" + std::to_string(song::PartCount());
  const std::string notes = std::to_string(part.notes);
  std::string before, after;  // the pattern's text around the name
  bool nameSeen = false;
  for (const char* p = pattern; *p != '\0'; ++p) {
    std::string& text = nameSeen ? after : before;
    const char field = p[0] == '%' ? p[1] : '\0';
    if (field == '1') text += number;
    else if (field == '3') text += notes;
    else if (field == '2') nameSeen = true;
    else text += *p;
    if (field == '1' || field == '2' || field == '3') ++p;
  }
  const int room = cells - draw::Utf8Cells(before) - draw::Utf8Cells(after);
  return before + draw::CutUtf8ToCells(song::PartDisplayName(part), room) + after;
}

std::string ChosenPartLabel() {
  if (song::ChosenPart() == song::kNoPart) return {};
  return FillLabel(draw::InPlayersLanguage(kPartLabel), kLyricBarCells);
}

std::string ChosenPartTitle(int cells) {
  if (song::ChosenPart() == song::kNoPart) return {};
  return FillLabel("PART %1: %2", cells);
}

static void StepPart(PartStep step) {
  const int count = song::PartCount();
  if (count == 0) return;
  const int by = step == PartStep::Next ? 1 : count - 1;
  song::ChoosePart((song::ChosenPart() + by) % count);
  files::ReadSongRanking();  // RANK and a new best score use the part's own
  DismissNotesAheadHint();
  RunPartLabel();
}

void RunPartButton(PartStep step) {
  StepPart(step);
  const SourceRect r = ButtonRect(kButtonPart);
  draw::PressBox(r.left, r.top, r.right, r.bottom);
}

// The button is not drawn pressed: only the left button's release lets a
// pressed box up again.
void RunPartRightClick() {
  if (!scene::RightPressed() || player::PlayState() != player::kStopped) return;
  const SourceRect r = ButtonRect(kButtonPart);
  const int x = scene::PointerX(), y = scene::PointerY();
  if (x >= r.left && x < r.right && y > r.top && y < r.bottom) StepPart(PartStep::Previous);
}

void RunPartLabel() {
  if (player::PlayState() != player::kStopped || TimedLyricBarNoticeShown()) return;
  // The first start's hint stays until it has been seen at work.
  const std::string hint = NotesAheadHintDue();
  const std::string label = hint.empty() ? ChosenPartLabel() : hint;
  if (label == LyricBarText()) return;
  if (label.empty()) RestoreLyricBar();
  else ShowLyricBarText(label);
}

void HidePartName() {
  if (LyricBarText().empty()) return;
  RestoreLyricBar();
}

}  // namespace game
