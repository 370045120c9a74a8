// The built-in synthesizer's own stream to the PulseAudio server (PipeWire
// answers it too). The stream pauses itself after a few seconds in which no
// message came and nothing could be heard, so that an idle game wakes
// neither itself nor the server hundreds of times a second; the next
// message resumes it within a round trip to the server.
#pragma once

namespace platform::desktop {

// Fills `frames` stereo frames of interleaved 32-bit float samples. Called
// on the stream's own thread.
using RenderAudio = void (*)(float* samples, int frames);

// Connects to the server (never starting one) and opens the stream,
// paused; false when no server answers within two seconds.
bool OpenPulseOutput(RenderAudio render);

// Tells the stream that a message is on its way to the synthesizer, and
// resumes it if it was paused. Called by the main thread.
void WakePulseOutput();

// Whether the stream is paused now (the measurements and tests look).
bool PulseOutputPaused();

// The buffer the server granted, in milliseconds of sound.
double PulseOutputBufferMs();

// The stream's latency as the server last reported it, in milliseconds:
// how long a sample written now takes to reach the sink's output. Asked of
// the server when the stream opens and every quarter second while it plays,
// so reading it never waits; negative before the server's first answer.
double PulseOutputLatencyMs();

void ClosePulseOutput();

}  // namespace platform::desktop
