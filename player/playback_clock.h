// The playback clock: turns milliseconds of the time base into the song
// position in ticks, keeps the measure and beat counters, and owns the
// transport (rewind, start, stop) and the tempo and time signature in force.
#pragma once

#include <cstdint>

#include "player/happenings.h"
#include "player/play_mode.h"

namespace player {

enum class Transport { Stopped, Playing };
inline constexpr Transport kStopped = Transport::Stopped;
inline constexpr Transport kPlaying = Transport::Playing;
// Why a run stops: the player's stop, or the song's end (which rewinds).
enum class StopKind { ByUser, AtEnd };
inline constexpr StopKind kStopByUser = StopKind::ByUser;
inline constexpr StopKind kStopAtEnd = StopKind::AtEnd;
inline constexpr int kMinTempo = 1;
inline constexpr int kMaxTempo = 600;
inline constexpr std::uint8_t kRealTimeStop = 0xFC;
// The playback speed in percent of the song's own: everything the song's
// clock drives runs at it, the pitch does not change.
inline constexpr int kFullSpeedPercent = 100;
inline constexpr int kSlowestSpeedPercent = 50;

// Recomputes the song position and dispatches what is due; returns 1 when
// the measure or beat shown changed. Does nothing while stopped. (A run's
// frame step, with its halt at the guide, is player/run_step.h's.)
int AdvanceClock();
// Puts every track back to its first event and the clock to tick 0.
Happenings RewindSong();
void Rewind();  // the same, for the engine itself: what it shows stays noted
// Starts a run in `mode` from the top (or from the current measure after
// the song changed), or from a loop's first measure when the run follows
// a loop.
Happenings StartPlayback(PlayMode mode);
Happenings StopPlayback(StopKind kind);
void Stop(StopKind kind);  // the same, for the engine itself
// The mode of the run playing, or of the last one.
PlayMode RunMode();
// Clamps the tempo to 1..600, derives microseconds per quarter and
// re-anchors the clock.
void ApplyTempo();
// Takes a time signature (numerator, denominator as a power of two) and
// re-anchors the clock.
void ApplyTimeSignature(std::uint8_t numerator, std::uint8_t denominatorPower);
// Loads the tempo and time signature a measure (zero-based) begins with;
// returns its first tick.
std::int32_t SeekToMeasure(int measure);

// The program went to the background in full screen, where its frames
// stop: what sounds is ended (it would drone on) and the song's time stands
// still (it would run ahead unheard and come back as one burst).
void HoldPlayback();
// Back in front: the song goes on from where it stood.
void ContinuePlayback();

// The speed the song plays at (100 by default). A change takes effect at
// the next run: the game changes it only while stopped. Values outside
// 50..100 are clamped.
int PlaybackSpeedPercent();
void SetPlaybackSpeedPercent(int percent);
// The tempo the player hears: the song's tempo times the speed, rounded.
int HeardTempo();
// Song milliseconds (at the song's own tempo) as the player's milliseconds.
std::int64_t SongMsToPlayerMs(std::int64_t songMs);

// A loop sent the song back to `measure` (zero-based): the position is the
// measure's start, its tempo and time signature are in force, the counters
// show it, and the clock runs from now.
void RestartAtMeasure(int measure);

// Re-anchors the clock at a position the guide moved the song to.
void ReanchorAt(std::int32_t position);

Transport PlayState();
std::int32_t SongPosition();
void SetSongPosition(std::int32_t position);
int Tempo();
void SetTempo(int beatsPerMinute);
std::int32_t MicrosecondsPerQuarter();
int BeatsPerMeasure();
int BeatUnit();
// The measure (zero-based) and beat (from 1) the counters show, as the
// measure map numbers the song position.
int CurrentMeasure();
int CurrentBeat();

}  // namespace player
