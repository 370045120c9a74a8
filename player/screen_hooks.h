// What the playback engine tells the main screen. The engine sits below the
// screen, so these are declared here and defined by the main screen (game/):
// the engine never includes the layer above it.
#pragma once

namespace player {

// A run is starting: the main command becomes "running", no verdict is on
// the timing panel, and no halt at a guide note is left over.
void RunStarting();
// The lyric bar forgets its word position (a run begins from the top).
void LyricBarRestarts();
// A lyric event has filled the lyric buffer.
void LyricLineArrived();
// Playback reached a syllable of the line in the lyric buffer (lyrics read
// syllable by syllable): bytes `start` to `start + length`.
void LyricSyllableReached(int start, int length);
// Playback has stopped: the main command becomes "stopped".
void RunStopped();
// After a stop the mode buttons are drawn raised again.
void ModeButtonsReleased();
// The guide starts over: the judging's counts go back to 0.
void GuideRestarts();
// In the demonstration, a note of the guide part started (on) or ended:
// its key is lit while it sounds.
void DemoGuideNote(int note, bool on);

// A loop sent playback back to its first measure: the lyric bar starts
// over with the line in force there (the lyric buffer, empty when none)
// and the lit guide key follows the guide.
void PlaybackJumpedBack();

// 1 when key presses take the guide note (training and game), 0 in the
// demonstration: it follows the play mode the main screen keeps.
int PerformanceModeFlag();

// The counters: measure and beat (1-based), tempo, time signature.
void ShowPosition(int measure, int beat);
void ShowTempo(int beatsPerMinute);
void ShowTimeSignature();

}  // namespace player
