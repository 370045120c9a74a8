// The passage loop: a range of measures (as the measure counter numbers
// them, song/measure_map.h) that DEMO and TRAINING play over and over, from
// the loop's first measure on. At the start and at each jump back what
// sounds is ended, the state the song has at the first measure when played
// from the top is sent again, and the clock, the guide and the screen
// follow.
#pragma once

#include <cstdint>

namespace player {

enum class LoopStep { None, StartMarked, Set };
inline constexpr LoopStep kLoopNone = LoopStep::None;
inline constexpr LoopStep kLoopStartMarked = LoopStep::StartMarked;
inline constexpr LoopStep kLoopSet = LoopStep::Set;

// The first click marks the start at a measure (zero-based), the second the
// end (the two swap when the end lies before the start), a third clears.
// Marks are kept within the song's measures (song::SongMeasureCount).
void MarkLoopMeasure(int measure);
// Sets the whole range at once (zero-based, first <= last).
void SetLoop(int firstMeasure, int lastMeasure);
// Forgets the loop (a third click, or another song loaded).
void ClearLoop();
LoopStep LoopStage();
// Counts every loop set or cleared: what belongs to one loop (its
// self-setting speed) knows when it is gone, even if the same measures are
// set again.
int LoopGeneration();
int LoopFirstMeasure();
int LoopLastMeasure();  // meaningful once the loop is set

// Whether this run follows the loop: a game is always the whole song.
// The main screen says so at each start.
void SetLoopFollowed(bool followed);
// True while a set loop applies to the playing run.
bool LoopInForce();
// Where the loop begins, and where it ends: the start of the measure after
// its last.
std::int32_t LoopStartTick();
std::int32_t LoopEndTick();
// True when the loop is in force and the position has reached its end.
bool LoopEndReached(std::int32_t position);
// Sends the song back to the loop's first measure.
void JumpToLoopStart();
// A run that starts with the loop in force starts at its first measure
// (called as the run starts; not counted as a jump).
void StartAtLoop();
// How many jumps back the loop has made since the program started.
int LoopJumpCount();

}  // namespace player
