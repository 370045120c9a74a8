#include "game/calibration.h"

#include <string>
#include <vector>

#include "base/module_state.h"
#include "files/settings.h"
#include "game/heard_timing.h"
#include "game/lyric_bar.h"
#include "midi/midi_out.h"
#include "platform/platform.h"
#include "player/playback_clock.h"
#include "scene/input.h"

namespace game {

// Whether a calibration runs, when its first click is due and how many
// have sounded, when each was heard, the taps of each input, whether the
// bar is held, and the last result.
namespace {
struct State {
  bool running = false;
  bool holdsBar = false;
  bool kept = true;
  std::uint32_t firstClickMs = 0;
  int clicksSent = 0;
  int port = 0;
  std::vector<std::int64_t> heardMs;
  std::vector<std::int64_t> keyboardTapsMs;
  std::vector<std::int64_t> midiTapsMs;
  CalibrationResult last;
};
base::ModuleState<State> state;
}  // namespace

// The first click comes a beat after the key, so the player is ready.
static constexpr std::uint32_t kFirstClickDelayMs = kCalibrationBeatMs;
// GM percussion on channel 10: high wood block on each group's first
// click, low wood block on the others.
static constexpr std::uint8_t kClickStatus = 0x99, kHighBlock = 76, kLowBlock = 77, kClickVelocity = 110;

bool CalibrationRunning() { return state.running; }
bool CalibrationHoldsBar() { return state.holdsBar; }
CalibrationResult LastCalibration() { return state.last; }
void SetCalibrationKept(bool kept) { state.kept = kept; }
std::uint32_t CalibrationClickDueMs(int click) {
  return state.firstClickMs + static_cast<std::uint32_t>(click) * kCalibrationBeatMs;
}

// Milliseconds since the first click was due, on a clock that may wrap.
static std::int64_t SinceFirstClick(std::uint32_t ms) { return static_cast<std::int32_t>(ms - state.firstClickMs); }

static std::uint8_t ClickNote(int click) { return click % kCalibrationLeadInClicks == 0 ? kHighBlock : kLowBlock; }

static void EndLastClick() {
  if (state.clicksSent > 0) midi::SendShortMessage(kClickStatus, ClickNote(state.clicksSent - 1), 0, state.port);
}

bool ToggleCalibration() {
  if (state.running) {
    EndLastClick();
    state.running = state.holdsBar = false;
    RestoreLyricBar();
    return false;
  }
  if (player::PlayState() != player::kStopped) return false;
  ReadOutputLatency();
  state.clicksSent = 0;
  state.heardMs.clear();
  state.keyboardTapsMs.clear();
  state.midiTapsMs.clear();
  state.running = state.holdsBar = true;
  state.port = HeardPort();
  state.firstClickMs = platform::TimeMs() + kFirstClickDelayMs;
  ShowLyricBarText(report::InPlayersLanguage(kCalibrationPrompt));
  return true;
}

void TakeCalibrationTap(PianoInput input, std::uint32_t pressMs) {
  if (!state.running) return;
  (input == PianoInput::MidiKeyboard ? state.midiTapsMs : state.keyboardTapsMs).push_back(SinceFirstClick(pressMs));
}

// "%1" and "%2" of a pattern filled in.
static std::string Filled(const char* pattern, int first, int second) {
  std::string text;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) text += std::to_string(*++p == '1' ? first : second);
    else text += *p;
  }
  return text;
}

static std::string ResultText(const CalibrationResult& result, int keptOffsetMs) {
  const TapEstimate& estimate = result.estimate;
  const int offset = estimate.offsetMs, spread = estimate.spreadMs;
  switch (estimate.outcome) {
    case TapEstimate::Outcome::TooFewTaps: return Filled(report::InPlayersLanguage(kCalibrationTooFew), keptOffsetMs, 0);
    case TapEstimate::Outcome::Uneven: return Filled(report::InPlayersLanguage(kCalibrationUneven), keptOffsetMs, spread);
    case TapEstimate::Outcome::Measured: break;
  }
  if (offset == 0) return report::InPlayersLanguage(kCalibrationOnTime);
  return Filled(report::InPlayersLanguage(offset > 0 ? kCalibrationLate : kCalibrationEarly), offset < 0 ? -offset : offset,
                spread);
}

// The taps of the input that tapped more (the computer keyboard when
// even) against the clicks as heard.
static void Finish() {
  EndLastClick();
  state.running = false;
  const bool midi = state.midiTapsMs.size() > state.keyboardTapsMs.size();
  CalibrationResult result{true, midi ? PianoInput::MidiKeyboard : PianoInput::ComputerKeyboard, {}};
  result.estimate = EstimateTapOffset(state.heardMs, midi ? state.midiTapsMs : state.keyboardTapsMs, kCalibrationLeadInClicks);
  files::Settings settings = files::CurrentSettings();
  int& offset = midi ? settings.midiKeyboardOffsetMs : settings.computerKeyboardOffsetMs;
  if (result.estimate.outcome == TapEstimate::Outcome::Measured) {
    offset = result.estimate.offsetMs;
    int errorNumber = 0;
    if (state.kept) files::ChangeSettings(settings, errorNumber);  // it holds for this run even if not written
  }
  state.last = result;
  ShowLyricBarText(ResultText(result, PlayerOffsetMs(result.input)));
}

void RunCalibration() {
  if (state.holdsBar && !state.running &&
      (scene::LeftPressed() || scene::RightPressed() || player::PlayState() != player::kStopped))
    state.holdsBar = false;
  if (!state.running) return;
  const std::int64_t now = SinceFirstClick(platform::TimeMs());
  if (state.clicksSent < kCalibrationClicks && now >= static_cast<std::int64_t>(state.clicksSent) * kCalibrationBeatMs) {
    EndLastClick();
    midi::SendShortMessage(kClickStatus, ClickNote(state.clicksSent), kClickVelocity, state.port);
    // Heard when it reaches the player's ears, from the moment it was sent.
    state.heardMs.push_back(now + OutputLatencyMs());
    ++state.clicksSent;
  }
  // Taps up to half a beat after the last click still count with it.
  const std::int64_t lastHeard = state.heardMs.empty() ? 0 : state.heardMs.back();
  if (state.clicksSent == kCalibrationClicks && now >= lastHeard + kCalibrationBeatMs / 2) Finish();
}

}  // namespace game
