// The calibration of the player's own offset (F9 on the stopped main
// screen): 16 clicks at 100 beats per minute on the song's port, and the
// player taps any note key (or a MIDI key) along from the fifth. The median
// offset of the taps against the clicks as heard becomes that input's
// offset (computer keyboard or MIDI keyboards) when the taps are even
// enough; the lyric bar says what was found.
#pragma once

#include <cstdint>

#include "game/piano.h"
#include "game/tap_offset.h"
#include "report/report.h"

namespace game {

inline constexpr int kCalibrationClicks = 16;
inline constexpr std::uint32_t kCalibrationBeatMs = 600;  // 100 beats per minute
// The first four clicks give the beat; taps count from the fifth.
inline constexpr int kCalibrationLeadInClicks = 4;

inline constexpr report::PlayerText kCalibrationPrompt = {
    "タイミング測定：5 回目のクリックから一緒にキーをたたいて",
    "Timing check: tap a note key with each click from the fifth"};
// %1 the offset in ms (always positive), %2 the spread.
inline constexpr report::PlayerText kCalibrationLate = {"%1 ミリ秒遅れて弾いています：打鍵は %1 ミリ秒早めて判定します",
                                                        "you play %1 ms late: presses will be judged %1 ms earlier"};
inline constexpr report::PlayerText kCalibrationEarly = {"%1 ミリ秒早く弾いています：打鍵は %1 ミリ秒遅らせて判定します",
                                                         "you play %1 ms early: presses will be judged %1 ms later"};
inline constexpr report::PlayerText kCalibrationOnTime = {"ぴったり弾いています：打鍵はそのまま判定します",
                                                          "you play on time: presses will be judged as they are"};
inline constexpr report::PlayerText kCalibrationUneven = {
    "打鍵が不ぞろいでした（ばらつき %2 ミリ秒）：これまでのずれ %1 ミリ秒のままです",
    "the taps were too uneven (spread %2 ms): the offset stays %1 ms"};
inline constexpr report::PlayerText kCalibrationTooFew = {"打鍵が少なすぎました：これまでのずれ %1 ミリ秒のままです",
                                                          "too few taps: the offset stays %1 ms"};

// What the last calibration found, and for which input.
struct CalibrationResult {
  bool done = false;
  PianoInput input = PianoInput::ComputerKeyboard;
  TapEstimate estimate;
};

// F9: starts on the stopped main screen, or ends a calibration under way
// without changing anything. False when nothing started.
bool ToggleCalibration();
bool CalibrationRunning();
// Whether the lyric bar is the calibration's (while it runs, and its
// result until the next click or run).
bool CalibrationHoldsBar();
// Once per frame of the main scene: the clicks due, and the result once
// the last click has been heard.
void RunCalibration();
// A note key or MIDI key went down at `pressMs` (platform time).
void TakeCalibrationTap(PianoInput input, std::uint32_t pressMs);
// When click `click` (from 0) is due, on the platform clock.
std::uint32_t CalibrationClickDueMs(int click);
CalibrationResult LastCalibration();
// Off: the result is not kept in the settings (the trace's runs).
void SetCalibrationKept(bool kept);

}  // namespace game
