#include "game/piano.h"

#include <algorithm>
#include <vector>

#include "base/module_state.h"
#include "game/calibration.h"
#include "game/computer_keyboard.h"
#include "game/engine_events.h"
#include "game/heard_timing.h"
#include "game/judging.h"
#include "game/lyric_bar.h"
#include "game/main_command.h"
#include "game/notes_ahead_view.h"
#include "game/piano_keys.h"
#include "game/verdict_display.h"
#include "midi/midi_out.h"
#include "player/event_dispatch.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "song/song_parts.h"

namespace game {

// The notes the keys sound and where each went (a channel of a port), where
// the held pedal went down, and the program last sent for the keys while
// stopped (none until then, and none again after a run).
namespace {
struct KeyOutput {
  int port = 0;
  int channel = 0;
  bool operator==(const KeyOutput&) const = default;
};
struct SoundingKey {
  std::uint8_t note;
  KeyOutput output;
};
struct State {
  std::vector<SoundingKey> soundingKeys;
  bool pedalHeld = false;
  KeyOutput pedalOutput;
  bool restProgramSent = false;
  KeyOutput restProgramOutput;
  int restProgram = song::kNoProgram;
};
base::ModuleState<State> state;
}  // namespace

static constexpr std::uint8_t kSustainController = 64;
static constexpr int kPedalDownFrom = 64;
// A release that never comes (a source gone) must not let the list grow.
static constexpr std::size_t kSoundingKeysKept = 256;

void ForgetKeyboardInstrument() { state.restProgramSent = false; }

// The chosen part's channel and port; channel 1 of port 0 without a part.
static KeyOutput ChosenPartOutput() {
  const int chosen = song::ChosenPart();
  if (chosen == song::kNoPart) return {};
  const song::SongPart& part = song::Part(chosen);
  return {part.port, part.soundChannel};
}

static void Send(KeyOutput output, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  const std::uint8_t message[3] = {static_cast<std::uint8_t>(status | output.channel), data1, data2};
  player::SendToPort(output.port, message, status == 0xC0 ? 2 : 3);
}

// While stopped the channel holds whatever program was last sent there:
// the part's own goes first, once, while the port can sound it.
static void SendPartProgramAtRest(KeyOutput output) {
  const int chosen = song::ChosenPart();
  if (player::PlayState() != player::kStopped || chosen == song::kNoPart) return;
  const int program = song::Part(chosen).program;
  if (program == song::kNoProgram) return;
  if (state.restProgramSent && state.restProgramOutput == output && state.restProgram == program) return;
  if (!midi::WaitForPortsReady(0)) return;
  Send(output, 0xC0, static_cast<std::uint8_t>(program), 0);
  state.restProgramSent = true;
  state.restProgramOutput = output;
  state.restProgram = program;
}

void DrawGuideKey(int guideNote, int look) {
  if (guideNote < 0 || guideNote > 127) return;
  DrawPianoKey(NoteInReach(guideNote) - kPianoLowestNote, look);
}

void LightGuideChord() {
  for (int i = 0; i < player::GuideChordSize(); ++i)
    if (player::GuideChordNoteWaits(i)) DrawGuideKey(player::GuideChordNote(i), kKeyLookLit);
}

void LightNextGuideNotes() {
  const int toShow = player::GuideNoteToShow();
  // In a loop's tail the next note lies past its end: the passage's first
  // note is the one to play next.
  if (toShow != player::GuideNote()) DrawGuideKey(toShow, kKeyLookLit);
  else LightGuideChord();
  player::SetLastShownGuideNote(toShow);
}

// Whether a press plays a guide note: the computer keyboard plays the
// note moved into its reach.
static bool PlaysNote(PianoInput input, int pressed, int guideNote) {
  if (input == PianoInput::ComputerKeyboard) return pressed == NoteInReach(guideNote);
  return pressed == guideNote;
}

// The note of the guide's chord that a press plays: a waiting one when
// there is one, else one already taken; -1 when the press plays none.
static int ChordNoteOfPress(PianoInput input, int pressed, bool& waits) {
  int takenMatch = -1;
  for (int i = 0; i < player::GuideChordSize(); ++i) {
    if (!PlaysNote(input, pressed, player::GuideChordNote(i))) continue;
    waits = player::GuideChordNoteWaits(i);
    if (waits) return player::GuideChordNote(i);
    takenMatch = player::GuideChordNote(i);
  }
  return takenMatch;
}

// The press takes a note of the guide's chord, unless the game refuses it.
static PianoPress TakeGuide(PianoInput input, int& note, int& velocity, std::uint32_t pressMs) {
  const bool game = player::RefusesWrongKeys(player::RunMode());
  bool waits = false;
  const int chordNote = ChordNoteOfPress(input, note, waits);
  if (game && chordNote < 0) return PianoPress::RefusedBlocking;
  if (game && !waits) return PianoPress::RefusedChordNoteTaken;
  const Judgement judged = JudgeTiming(pressMs, FiguresForPress(input).Total());
  ShowJudgement(judged);
  MarkNoteAhead(waits ? chordNote : player::GuideNote(), judged.verdict);
  const player::TakenNote taken = player::TakeGuideNote(waits ? chordNote : note);
  note = taken.note;
  ShowHappenings(taken.happenings);
  velocity = player::GuideVelocity();  // the velocity of the new guide note
  if (!player::GuideOver()) {
    DrawGuideKey(player::LastShownGuideNote(), kKeyLookUp);
    LightNextGuideNotes();
  }
  return PianoPress::Sounded;
}

PianoPress StartPianoNote(PianoInput input, int pressedNote, int velocity, std::uint8_t& started,
                          std::uint32_t pressMs) {
  int note = pressedNote;
  TakeCalibrationTap(input, pressMs);
  if (player::IsGuidePerformed()) {
    const PianoPress taken = TakeGuide(input, note, velocity, pressMs);
    if (taken != PianoPress::Sounded) return taken;
  }
  started = static_cast<std::uint8_t>(note & 0x7F);
  const KeyOutput output = ChosenPartOutput();
  SendPartProgramAtRest(output);
  Send(output, 0x90, started, static_cast<std::uint8_t>(velocity & 0x7F));
  if (state.soundingKeys.size() >= kSoundingKeysKept) state.soundingKeys.erase(state.soundingKeys.begin());
  state.soundingKeys.push_back({started, output});
  AdvanceLyricWord();
  return PianoPress::Sounded;
}

void EndPianoNote(std::uint8_t started) {
  const auto key = std::find_if(state.soundingKeys.begin(), state.soundingKeys.end(),
                                [started](const SoundingKey& k) { return k.note == started; });
  const KeyOutput output = key != state.soundingKeys.end() ? key->output : ChosenPartOutput();
  if (key != state.soundingKeys.end()) state.soundingKeys.erase(key);
  Send(output, 0x90, started, 0);
}

void SendPianoPedal(int value) {
  const bool down = value >= kPedalDownFrom;
  const KeyOutput output = state.pedalHeld ? state.pedalOutput : ChosenPartOutput();
  if (down && !state.pedalHeld) state.pedalOutput = output;
  state.pedalHeld = down;
  Send(output, 0xB0, kSustainController, static_cast<std::uint8_t>(value & 0x7F));
}

}  // namespace game
