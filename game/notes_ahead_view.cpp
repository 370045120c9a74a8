#include "game/notes_ahead_view.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/module_state.h"
#include "draw/fill.h"
#include "draw/redraw.h"
#include "files/settings.h"
#include "game/artwork_layout.h"
#include "game/judging.h"
#include "game/notes_ahead_lane.h"
#include "game/panels.h"
#include "game/piano.h"
#include "game/piano_keys.h"
#include "player/guide_track.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"
#include "scene/scenes.h"
#include "song/song_parts.h"
#include "song/song_store.h"

namespace game {

namespace {

// What the lane last showed: enough to tell whether a frame must draw it.
struct Shown {
  bool on = false;
  LaneWindow window;
  std::uint32_t marks = 0;
  std::int32_t guideTick = 0;
  int guideChordWaiting = 0;
  bool operator==(const Shown&) const = default;
};

// The chosen part's notes for the song and part they were read for, each
// note's verdict in this run, what was last drawn, and the buffers each
// drawing reuses.
struct State {
  LaneSong lane;
  bool gathered = false;
  std::uint32_t songEdition = 0;
  int part = song::kNoPart;
  std::vector<std::int8_t> verdicts;
  std::uint32_t marks = 0;  // counts the verdicts given, so a new one redraws
  bool pianoAreaAhead = false;  // the piano area is drawn with the lane
  bool drawnOnce = false;
  Shown shown;
  bool wasPlaying = false;
  std::int32_t lastPosition = 0;
  std::vector<LaneBar> bars;
  std::vector<int> measureRows;
  std::vector<bool> next;
};
base::ModuleState<State> state;

constexpr int kLaneLeft = 8;
constexpr int kLaneRight = 632;
constexpr std::uint32_t kLaneColour = 0x121A2A;
constexpr std::uint32_t kMeasureLineColour = 0x34405A;
constexpr std::uint32_t kNoteColour = 0x5C8FD6;
constexpr std::uint32_t kNextNoteColour = 0xF7A83A;  // as a lit key
constexpr std::uint32_t kArrowColour = 0x8E1E1E;     // as the lit key's octave arrow
constexpr std::uint32_t kVerdictColour[] = {0x4CC46A, 0xE5533F, 0xA66BE0};  // Good, LATE, FAST
constexpr int kArrowWidth = 7;
constexpr int kArrowHeight = 4;

void GatherWhenChanged() {
  if (state.gathered && state.songEdition == song::SongEdition() && state.part == song::ChosenPart()) return;
  state.lane = GatherLaneSong();
  state.gathered = true;
  state.songEdition = song::SongEdition();
  state.part = song::ChosenPart();
  state.verdicts.assign(state.lane.notes.size(), static_cast<std::int8_t>(kVerdictNone));
  ++state.marks;
}

// A new run forgets the last one's verdicts; a jump back those of the
// passage, which is played again.
void ForgetVerdictsPlayedAgain() {
  const bool playing = player::PlayState() == player::kPlaying;
  const std::int32_t position = player::SongPosition();
  std::int32_t from = INT32_MAX;
  if (playing && !state.wasPlaying) from = INT32_MIN;
  else if (playing && position < state.lastPosition) from = position;
  state.wasPlaying = playing;
  state.lastPosition = position;
  if (from == INT32_MAX) return;
  for (std::size_t i = 0; i < state.verdicts.size(); ++i)
    if (state.lane.notes[i].tick >= from && state.verdicts[i] != kVerdictNone) {
      state.verdicts[i] = static_cast<std::int8_t>(kVerdictNone);
      ++state.marks;
    }
}

LaneWindow WindowNow() {
  LaneWindow window;
  window.position = player::SongPosition();
  window.loop = player::PlayState() == player::kPlaying && player::LoopInForce();
  if (window.loop) {
    window.loopStart = player::LoopStartTick();
    window.loopEnd = player::LoopEndTick();
  }
  return window;
}

// The first note not yet played at or after the guide's tick on each of
// the chord's waiting pitches.
void MarkGuideChord() {
  for (int i = 0; i < player::GuideChordSize(); ++i) {
    if (!player::GuideChordNoteWaits(i)) continue;
    for (const LaneBar& bar : state.bars) {
      const LaneNote& note = state.lane.notes[static_cast<std::size_t>(bar.index)];
      if (note.note != player::GuideChordNote(i) || note.tick < player::GuideTick()) continue;
      if (state.verdicts[static_cast<std::size_t>(bar.index)] != kVerdictNone) continue;
      state.next[static_cast<std::size_t>(&bar - state.bars.data())] = true;
      break;
    }
  }
}

// In a performance the guide's chord; otherwise (and in a loop's tail,
// where the passage's first notes are next) the nearest notes not yet begun.
void MarkNextNotes() {
  state.next.assign(state.bars.size(), false);
  const bool guided = player::IsGuidePerformed() && !player::GuideOver() &&
                      player::GuideNoteToShow() == player::GuideNote();
  if (guided) return MarkGuideChord();
  std::int64_t nearest = INT64_MAX;
  for (const LaneBar& bar : state.bars)
    if (!bar.sounding) nearest = std::min(nearest, bar.ahead);
  for (std::size_t i = 0; i < state.bars.size(); ++i)
    state.next[i] = !state.bars[i].sounding && state.bars[i].ahead == nearest;
}

// A small triangle at a folded note's front, pointing as the key's arrow.
void DrawOctaveArrow(const LaneRect& r, int octave) {
  if (r.right - r.left < kArrowWidth || r.bottom - r.top < kArrowHeight + 2) return;
  const int middle = (r.left + r.right) / 2;
  for (int row = 0; row < kArrowHeight; ++row) {
    const int half = octave < 0 ? kArrowHeight - 1 - row : row;  // down: wide at its top
    const int y = r.bottom - 1 - kArrowHeight + row;
    draw::FillBox(middle - half, y, middle + half + 1, y + 1, kArrowColour);
  }
}

void DrawLane() {
  LaneBars(state.lane, state.shown.window, state.bars, state.measureRows);
  MarkNextNotes();
  draw::FillBox(kLaneLeft, kLaneTop, kLaneRight, kLaneBottom, kLaneColour);
  for (int row : state.measureRows)
    if (row > kLaneTop && row < kLaneBottom) draw::FillBox(kLaneLeft, row, kLaneRight, row + 1, kMeasureLineColour);
  for (std::size_t i = 0; i < state.bars.size(); ++i) {
    const LaneBar& bar = state.bars[i];
    const int verdict = state.verdicts[static_cast<std::size_t>(bar.index)];
    const std::uint32_t colour =
        verdict != kVerdictNone ? kVerdictColour[verdict] : state.next[i] ? kNextNoteColour : kNoteColour;
    draw::FillBox(bar.rect.left, bar.rect.top, bar.rect.right, bar.rect.bottom, colour);
    const int octave = state.lane.notes[static_cast<std::size_t>(bar.index)].octave;
    if (octave != 0) DrawOctaveArrow(bar.rect, octave);
  }
}

// The keys in the view in force, up, with the guide's lit key again.
void RedrawPianoArea(bool ahead) {
  PutArtwork(0, kPianoAreaTop, {0, kPianoAreaTop, kArtworkWidth, kScreenBackground.bottom});
  DrawAllKeysUp();
  if (player::IsGuidePerformed() && !player::GuideOver()) DrawGuideKey(player::LastShownGuideNote(), kKeyLookLit);
  state.pianoAreaAhead = ahead;
  draw::RequestRedraw();
}

}  // namespace

void ShowNotesAhead() {
  const bool on = files::CurrentSettings().view == files::View::NotesAhead;
  // The whole screen was just drawn in the view in force.
  if (scene::SceneEntered()) {
    state.pianoAreaAhead = on;
    state.drawnOnce = false;
  }
  if (on != state.pianoAreaAhead) {
    RedrawPianoArea(on);
    state.drawnOnce = false;
  }
  if (!on) return;
  GatherWhenChanged();
  ForgetVerdictsPlayedAgain();
  Shown now{true, WindowNow(), state.marks, player::GuideTick(), 0};
  for (int i = 0; i < player::GuideChordSize(); ++i) now.guideChordWaiting += player::GuideChordNoteWaits(i) ? 1 : 0;
  if (state.drawnOnce && now == state.shown) return;
  state.shown = now;
  state.drawnOnce = true;
  DrawLane();
  draw::RequestRedraw();
}

void MarkNoteAhead(int note, int verdict) {
  if (verdict < kVerdictGood || verdict > kVerdictFast) return;
  GatherWhenChanged();
  for (std::size_t i = 0; i < state.lane.notes.size(); ++i) {
    const LaneNote& laneNote = state.lane.notes[i];
    if (laneNote.note != note || laneNote.tick < player::GuideTick() || state.verdicts[i] != kVerdictNone) continue;
    state.verdicts[i] = static_cast<std::int8_t>(verdict);
    ++state.marks;
    return;
  }
}

}  // namespace game
