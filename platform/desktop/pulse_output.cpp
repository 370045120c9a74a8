#include "platform/desktop/pulse_output.h"

#include <pthread.h>
#include <pulse/pulseaudio.h>
#include <sched.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

namespace platform::desktop {

// The connection, the stream and who fills it. The silence count belongs to
// the stream's thread; `paused` and `woken` are how the main thread and the
// stream's thread agree on pausing (see PauseUnlessWoken).
static pa_threaded_mainloop* mainloop = nullptr;
static pa_context* context = nullptr;
static pa_stream* stream = nullptr;
static RenderAudio render = nullptr;
static std::int64_t silentFrames = 0;
static std::atomic<bool> paused{false};
static std::atomic<bool> woken{false};
static bool timedOut = false;
static double bufferMs = 0;
// The stream's latency as the server reports it: its last few reports and
// the timer that asks for the next belong to the stream's thread (or to
// whoever holds the loop's lock); the median of the reports, in
// microseconds (-1 before the first), is read by the main thread without
// waiting.
static pa_time_event* timingTimer = nullptr;
static std::array<std::int64_t, 5> reportsUs{};
static std::size_t reportCount = 0;
static std::atomic<std::int64_t> latencyUs{-1};

static constexpr int kSampleRate = 44100;
static constexpr int kChannels = 2;
static constexpr std::size_t kFrameBytes = sizeof(float) * kChannels;
// About 4.4 ms of sound in the server's hands, asked for 1.5 ms at a time:
// a key is heard within 10 ms of the frame that sent it.
static constexpr std::uint32_t kBufferFrames = 192;
static constexpr std::uint32_t kRequestFrames = 64;
static constexpr std::int64_t kPauseAfterSilentFrames = 3 * kSampleRate;
// While the stream plays its latency is asked for every quarter second,
// the first time soon after it resumes (the sink may have woken with it).
static constexpr pa_usec_t kTimingEveryUs = PA_USEC_PER_SEC / 4;
static constexpr pa_usec_t kTimingAfterResumeUs = 20 * PA_USEC_PER_MSEC;
// Below half a step of 16-bit sound nothing can be heard.
static constexpr float kInaudible = 1.0f / 65536;
static constexpr pa_usec_t kConnectTimeoutUs = 2 * PA_USEC_PER_SEC;
// The stream's thread asks for this real-time priority, as FluidSynth's own
// audio drivers do; without the right to it, it simply stays as it is.
static constexpr int kRealTimePriority = 60;

static bool Inaudible(const float* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (samples[i] > kInaudible || samples[i] < -kInaudible) return false;
  return true;
}

// The main thread sets `woken` before it looks at `paused`; this thread sets
// `paused` before it looks at `woken`. With sequentially consistent atomics
// at least one of them sees the other, so a message is never left waiting
// behind a pause.
static void PauseUnlessWoken(pa_stream* s) {
  paused = true;
  if (woken.exchange(false)) {
    paused = false;
    silentFrames = 0;
    return;
  }
  if (pa_operation* operation = pa_stream_cork(s, 1, nullptr, nullptr)) pa_operation_unref(operation);
}

// The server's answer to a timing request: the time from a sample written
// now to its sound at the sink. One report may catch the stream just after
// an underrun (nothing queued): the median of the last five stands.
static void OnTimingInfo(pa_stream* s, int success, void*) {
  pa_usec_t usec = 0;
  int negative = 0;
  if (!success || pa_stream_get_latency(s, &usec, &negative) != 0) return;
  reportsUs[reportCount++ % reportsUs.size()] = negative ? 0 : static_cast<std::int64_t>(usec);
  std::array<std::int64_t, 5> sorted = reportsUs;
  const std::size_t count = std::min(reportCount, sorted.size());
  std::nth_element(sorted.begin(), sorted.begin() + count / 2, sorted.begin() + count);
  latencyUs = sorted[count / 2];
}

static void AskForTiming(pa_stream* s) {
  if (pa_operation* operation = pa_stream_update_timing_info(s, OnTimingInfo, nullptr)) pa_operation_unref(operation);
}

// Asks again every quarter second until the stream pauses (a fired timer
// that is not restarted stays quiet).
static void OnTimingTimer(pa_mainloop_api*, pa_time_event* timer, const timeval*, void*) {
  if (paused || stream == nullptr) return;
  AskForTiming(stream);
  pa_context_rttime_restart(context, timer, pa_rtclock_now() + kTimingEveryUs);
}

static void OnWrite(pa_stream* s, std::size_t bytes, void*) {
  thread_local bool priorityAsked = false;
  if (!priorityAsked) {
    priorityAsked = true;
    sched_param parameter{};
    parameter.sched_priority = kRealTimePriority;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
  }
  if (woken.exchange(false)) silentFrames = 0;
  while (bytes >= kFrameBytes) {
    void* data = nullptr;
    std::size_t size = bytes;
    if (pa_stream_begin_write(s, &data, &size) < 0 || data == nullptr) return;
    const std::size_t frames = size / kFrameBytes;
    if (frames == 0) {
      pa_stream_cancel_write(s);
      return;
    }
    auto* samples = static_cast<float*>(data);
    render(samples, static_cast<int>(frames));
    silentFrames = Inaudible(samples, frames * kChannels) ? silentFrames + static_cast<std::int64_t>(frames) : 0;
    pa_stream_write(s, data, frames * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE);
    bytes -= frames * kFrameBytes;
  }
  if (!paused && silentFrames >= kPauseAfterSilentFrames) PauseUnlessWoken(s);
}

static void Signal(pa_context*, void*) { pa_threaded_mainloop_signal(mainloop, 0); }
static void SignalStream(pa_stream*, void*) { pa_threaded_mainloop_signal(mainloop, 0); }
static void OnTimeout(pa_mainloop_api*, pa_time_event*, const timeval*, void*) {
  timedOut = true;
  pa_threaded_mainloop_signal(mainloop, 0);
}

// Waits, with the loop locked, until the context and (once it exists) the
// stream are ready; false when either failed or the time ran out.
static bool WaitReady() {
  for (;;) {
    const pa_context_state_t contextState = pa_context_get_state(context);
    if (!PA_CONTEXT_IS_GOOD(contextState) || timedOut) return false;
    if (contextState == PA_CONTEXT_READY) {
      if (stream == nullptr) return true;
      const pa_stream_state_t streamState = pa_stream_get_state(stream);
      if (!PA_STREAM_IS_GOOD(streamState)) return false;
      if (streamState == PA_STREAM_READY) return true;
    }
    pa_threaded_mainloop_wait(mainloop);
  }
}

static bool OpenStream() {
  const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kSampleRate, kChannels};
  stream = pa_stream_new(context, "Built-in GM synthesizer", &format, nullptr);
  if (stream == nullptr) return false;
  pa_stream_set_state_callback(stream, SignalStream, nullptr);
  pa_stream_set_write_callback(stream, OnWrite, nullptr);
  pa_buffer_attr buffer{};
  buffer.maxlength = static_cast<std::uint32_t>(-1);
  buffer.tlength = kBufferFrames * kFrameBytes;
  buffer.prebuf = static_cast<std::uint32_t>(-1);
  buffer.minreq = kRequestFrames * kFrameBytes;
  buffer.fragsize = static_cast<std::uint32_t>(-1);
  paused = true;
  const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_CORKED);
  if (pa_stream_connect_playback(stream, nullptr, &buffer, flags, nullptr, nullptr) < 0 || !WaitReady()) return false;
  const pa_buffer_attr* granted = pa_stream_get_buffer_attr(stream);
  bufferMs = granted ? 1000.0 * granted->tlength / kFrameBytes / kSampleRate : 0;
  AskForTiming(stream);
  timingTimer = pa_context_rttime_new(context, PA_USEC_INVALID, OnTimingTimer, nullptr);
  return true;
}

bool OpenPulseOutput(RenderAudio renderAudio) {
  render = renderAudio;
  silentFrames = 0;
  woken = false;
  timedOut = false;
  latencyUs = -1;
  reportCount = 0;
  mainloop = pa_threaded_mainloop_new();
  if (mainloop == nullptr) return false;
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop);
  context = pa_context_new(api, "Tonquill");
  if (context != nullptr) pa_context_set_state_callback(context, Signal, nullptr);
  if (context == nullptr || pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
      pa_threaded_mainloop_start(mainloop) < 0) {
    ClosePulseOutput();
    return false;
  }
  pa_threaded_mainloop_lock(mainloop);
  pa_time_event* timeout = pa_context_rttime_new(context, pa_rtclock_now() + kConnectTimeoutUs, OnTimeout, nullptr);
  const bool opened = WaitReady() && OpenStream();
  if (timeout != nullptr) api->time_free(timeout);
  pa_threaded_mainloop_unlock(mainloop);
  if (!opened) ClosePulseOutput();
  return opened;
}

void WakePulseOutput() {
  if (stream == nullptr) return;
  woken = true;
  if (!paused) return;
  pa_threaded_mainloop_lock(mainloop);
  if (paused) {
    if (pa_operation* operation = pa_stream_cork(stream, 0, nullptr, nullptr)) pa_operation_unref(operation);
    paused = false;
    silentFrames = 0;
    if (timingTimer != nullptr) pa_context_rttime_restart(context, timingTimer, pa_rtclock_now() + kTimingAfterResumeUs);
  }
  pa_threaded_mainloop_unlock(mainloop);
}

bool PulseOutputPaused() { return stream != nullptr && paused; }

double PulseOutputBufferMs() { return bufferMs; }

double PulseOutputLatencyMs() {
  const std::int64_t us = latencyUs;
  return us < 0 ? -1.0 : us / 1000.0;
}

void ClosePulseOutput() {
  if (mainloop == nullptr) return;
  pa_threaded_mainloop_lock(mainloop);
  if (timingTimer != nullptr) pa_threaded_mainloop_get_api(mainloop)->time_free(timingTimer);
  timingTimer = nullptr;
  if (stream != nullptr) pa_stream_disconnect(stream);
  if (context != nullptr) pa_context_disconnect(context);
  pa_threaded_mainloop_unlock(mainloop);
  pa_threaded_mainloop_stop(mainloop);
  if (stream != nullptr) pa_stream_unref(stream);
  if (context != nullptr) pa_context_unref(context);
  pa_threaded_mainloop_free(mainloop);
  stream = nullptr;
  context = nullptr;
  mainloop = nullptr;
  bufferMs = 0;
  latencyUs = -1;
}

}  // namespace platform::desktop
