// Records the built-in synthesizer into a WAV file instead of playing it
// (tests, recordings). The file keeps step with the program's clock
// (platform::TimeMs): each frame stands for exactly one sample period of
// real time, however often messages arrive, so a note sent t ms after the
// recording started lands t ms into the file (to within one block).
#pragma once

#include <fluidsynth.h>

#include <string>

namespace platform::desktop {

// Creates the file; false when it cannot be written. Nothing is rendered
// before StartRecorderClock.
bool OpenRecorder(fluid_settings_t* settings, fluid_synth_t* synth, const std::string& path);

// The file's first frame is this moment. Called once the SoundFont is ready.
void StartRecorderClock();

// Renders every whole block due by now, and keeps the recording still while
// it is held: the synthesizer takes each message under a hold, so the
// message sounds at its moment. Between messages a thread of the recorder
// keeps the file up with the clock, so no message finds seconds of sound
// to render first (which would hold up the frame that sends it).
class RecorderHold {
 public:
  RecorderHold();
  ~RecorderHold();
  RecorderHold(const RecorderHold&) = delete;
  RecorderHold& operator=(const RecorderHold&) = delete;
};

// Renders up to now and closes the file.
void CloseRecorder();

}  // namespace platform::desktop
