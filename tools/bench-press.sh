#!/bin/sh
# Measures the whole path from a key going down to its sound: the game runs
# in a window on a private X server, its synthesizer plays into a private
# PulseAudio server whose only output is a null sink, a key of the computer
# keyboard is pressed through XTest at random moments, and the sink's monitor
# is recorded. Prints min / median / 99th percentile / max, in ms, of the
# time from each press to the first sound of its note at the monitor:
#
#   - at rest: the main screen, no song playing, the output running (the
#     previous note sounded less than a second before);
#   - during a DEMO: a long song plays very softly (far below the level that
#     counts as the pressed note, loud enough to keep the output running);
#   - the first note after the output paused (3 s of silence; a press that
#     finds the game's stream still running at the sound server is left
#     out, and counted).
#
#   tools/bench-press.sh [RUNS]     RUNS presses at rest and during the DEMO
#                                   (default 100), a tenth as many (at least
#                                   3) after a pause
#
# $TONQUILL_PROGRAM names another executable to measure (an older build);
# otherwise the game is built into build/ (or $TONQUILL_BUILD). Everything
# it starts runs in a temporary folder and is stopped at the end. A
# benchmark, not a test: the figures depend on the machine and its load.
#
# How the press and the sound are put on one clock. Both are read from the
# system's monotonic clock (CLOCK_MONOTONIC), which every process shares:
#
#   - The press instant is read just before the XTest request is written;
#     the X server turns it into the game's key event before it answers the
#     XSync that follows, so the press lies between the two readings. A
#     press whose readings lie more than 1 ms apart (this process or the
#     X server held up between them) is left out, and counted: the
#     figures are at most 1 ms too long.
#   - The recorder (parec, 1 ms fragments, mono 16-bit) delivers the
#     monitor's samples in chunks; each chunk is stamped when it arrives.
#     The null sink is timed by the same monotonic clock, and the recording
#     keeps it awake, so its samples follow one another at exactly the
#     sample rate: sample n was at the monitor at OFFSET + n / RATE. A
#     chunk ending with sample N, stamped at A, says OFFSET <= A - N / RATE
#     (it cannot arrive before its last sample exists), and a chunk's stamp
#     is late by the recorder's delivery and by whatever delayed the
#     stamping thread, never early. So the smallest A - N / RATE over the
#     chunks of the seconds around a press is the offset with the least
#     delay seen, and the note's first loud sample n* is put at
#     OFFSET + n* / RATE. This removes the recorder's fragment wait and the
#     stamping jitter from the figure, which the arrival of a single chunk
#     would add (up to a fragment and more).
#   - "Loud" is above 300 of 32767, or four times the loudest sample of the
#     200 ms before the press when that is higher (the soft DEMO, the tail
#     of a previous note).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
presses=${1:-100}
build=${TONQUILL_BUILD:-"$top/build"}

"$top/tools/install-packages.sh" pulseaudio pulseaudio-utils timgm6mb-soundfont fonts-ipafont-gothic \
  fonts-ipafont-mincho xvfb xauth x11-utils libxtst6 python3 >&2
if [ -n "${TONQUILL_PROGRAM:-}" ]; then
  program=$TONQUILL_PROGRAM
else
  "$top/tools/build.sh" "$build" >&2
  program="$build/tonquill"
fi

work=$(mktemp -d /tmp/tonquill-bench-press-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  "$top/tools/pulse-null-sink.sh" stop "$work/pulse" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

. "$top/tools/bench-kit.sh"
start_sound_and_display

python3 - "$program" "$work" "$display" "$presses" <<'PYTHON'
import array, bisect, ctypes, math, os, random, struct, subprocess, sys, threading, time

program, work, display_name, presses = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
RATE = 44100
LOUD = 300
KEY = b"a"  # the lowest white key of the home row: middle C on the built-in piano

# --- The DEMO's song: ten minutes of eighth notes and quarter-note chords on
# channels 2 and 3 (the computer keyboard plays on channel 1), soft enough
# to stay far below LOUD yet keep the output running. The melody is the
# second track, as the game's songs have it.
def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))

def track(events):
    body = b"".join(variable_length(delta) + data for delta, data in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body

def notes(channel, pitches, step, length, count):
    events = [(0, bytes([0xB0 | channel, 7, 20]))]
    for i in range(count):
        for k, pitch in enumerate(pitches(i)):
            events.append((step - length if i and k == 0 else 0, bytes([0x90 | channel, pitch, 8])))
        for k, pitch in enumerate(pitches(i)):
            events.append((length if k == 0 else 0, bytes([0x80 | channel, pitch, 0])))
    return events

scale = [60, 62, 64, 65, 67, 69, 71, 72]
song = b"MThd" + struct.pack(">IHHH", 6, 1, 3, 480)
song += track([(0, b"\xff\x03\x0bBench press"), (0, b"\xff\x51\x03\x07\xa1\x20")])
song += track(notes(1, lambda i: [scale[i % 8]], 240, 200, 2400))
song += track(notes(2, lambda i: [48 + (i % 4) * 2, 52 + (i % 4) * 2, 55 + (i % 4) * 2], 480, 400, 1200))
song_path = os.path.join(work, "bench.mid")
with open(song_path, "wb") as f:
    f.write(song)

# --- XTest
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(display_name.encode())
if not display:
    sys.exit("bench-press: cannot open the private X server")
keycode = x11.XKeysymToKeycode(display, x11.XStringToKeysym(KEY))

def key(down):
    """Presses or releases the key; the press instant and the uncertainty."""
    before = time.monotonic()
    xtst.XTestFakeKeyEvent(display, keycode, 1 if down else 0, 0)
    x11.XSync(display, 0)
    return before, time.monotonic() - before

def click(x, y):
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    x11.XSync(display, 0)
    time.sleep(0.1)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XSync(display, 0)

# --- The recorder: every chunk of the monitor kept, stamped on arrival.
samples = array.array("h")
chunks = []  # (arrival, samples recorded up to and including this chunk)
last_loud = [0.0]
lock = threading.Lock()
recorder = subprocess.Popen(["parec", "--raw", "--format=s16le", "--channels=1", "--rate=%d" % RATE,
                             "--latency-msec=1", "--device=tonquill_sink.monitor"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

def record():
    pending = b""
    while True:
        data = os.read(recorder.stdout.fileno(), 65536)
        arrival = time.monotonic()
        if not data:
            return
        data = pending + data
        whole = len(data) - len(data) % 2
        chunk = array.array("h", data[:whole])
        pending = data[whole:]
        with lock:
            samples.extend(chunk)
            chunks.append((arrival, len(samples)))
            if chunk and max(max(chunk), -min(chunk)) > LOUD:
                last_loud[0] = arrival

threading.Thread(target=record, daemon=True).start()

def wait_quiet(seconds, timeout=10):
    """Waits until nothing loud has been recorded for `seconds`."""
    give_up = time.monotonic() + timeout
    while time.monotonic() < give_up:
        with lock:
            quiet = time.monotonic() - last_loud[0]
        if quiet >= seconds:
            return
        time.sleep(0.01)

# --- The game, in a window, with the song, in a private home.
home = os.path.join(work, "home")
os.makedirs(home)
environment = dict(os.environ, DISPLAY=display_name, HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                   XDG_CONFIG_HOME=os.path.join(home, "config"), TONQUILL_INSTANCE_DIR=home)
environment.pop("XDG_RUNTIME_DIR", None)
game = subprocess.Popen([program, "-", song_path], env=environment, cwd=work,
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

def window_origin():
    out = subprocess.run(["xwininfo", "-name", "Tonquill"], env=environment, capture_output=True, text=True).stdout
    values = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
    return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])

origin = None
for _ in range(300):
    try:
        origin = window_origin()
        break
    except (KeyError, ValueError):
        time.sleep(0.1)
if origin is None:
    sys.exit("bench-press: the game's window did not appear")
# The pointer over the picture (below the buttons): the keys go to the game.
xtst.XTestFakeMotionEvent(display, -1, origin[0] + 320, origin[1] + 400, 0)
x11.XSync(display, 0)

results = {"rest": [], "demo": [], "paused": []}
# A press whose instant is not known within this long (this process or the
# X server was held up between the two readings) is left out.
UNCERTAIN = 0.001

def output_paused():
    """Whether the game's stream is paused (corked) at the sound server now."""
    listing = subprocess.run(["pactl", "list", "sink-inputs"], capture_output=True, text=True).stdout
    return "Corked: yes" in listing

def press(situation, expect_paused=False):
    running = expect_paused and not output_paused()
    with lock:
        start = len(samples)
    pressed, spread = key(True)
    time.sleep(0.15)
    key(False)
    results[situation].append((pressed, start, spread, running))

def play(situation, count, before):
    for _ in range(count):
        before()
        time.sleep(random.uniform(0.0, 0.25))  # a random moment of the game's frames
        press(situation, situation == "paused")

# The SoundFont is read in the background: the first notes may be silent.
for _ in range(100):
    pressed, _ = key(True)
    time.sleep(0.15)
    key(False)
    time.sleep(0.3)
    with lock:
        if last_loud[0] > pressed:
            break
play("rest", presses, lambda: wait_quiet(0.3))
play("paused", max(3, presses // 10), lambda: (wait_quiet(0.3), time.sleep(3.6)))
click(origin[0] + 10 + 62 * 4 + 31, origin[1] + 195)  # DEMO
time.sleep(1.5)
xtst.XTestFakeMotionEvent(display, -1, origin[0] + 320, origin[1] + 400, 0)
x11.XSync(display, 0)
play("demo", presses, lambda: wait_quiet(0.3))
time.sleep(0.5)
game.terminate()
try:
    game.wait(10)
except subprocess.TimeoutExpired:
    game.kill()
    game.wait()
recorder.terminate()
recorder.wait()
x11.XCloseDisplay(display)

# --- Each press against the samples.
ends = [end for _, end in chunks]

def offset_near(index):
    """The smallest arrival - position over the chunks of 2 s around a sample."""
    low, high = bisect.bisect_left(ends, index - 2 * RATE), bisect.bisect_right(ends, index + 2 * RATE)
    return min(arrival - end / RATE for arrival, end in chunks[low:max(high, low + 1)])

def latency(pressed, start):
    offset = offset_near(start)
    first = max(0, int(math.floor((pressed - offset) * RATE)))
    background = samples[max(0, first - RATE // 5):first]
    threshold = max(LOUD, 4 * max((abs(v) for v in background), default=0))
    for n in range(first, min(len(samples), first + RATE)):
        if abs(samples[n]) > threshold:
            return (offset + n / RATE - pressed) * 1000, max((abs(v) for v in background), default=0)
    return None, 0

def summary(values):
    if not values:
        return "no figures"
    values = sorted(values)
    median = values[len(values) // 2] if len(values) % 2 else (values[len(values) // 2 - 1] + values[len(values) // 2]) / 2
    p99 = values[max(0, math.ceil(0.99 * len(values)) - 1)]
    return "%6.2f / %6.2f / %6.2f / %6.2f" % (values[0], median, p99, values[-1])

print("Press to sound through XTest, the game and a PulseAudio null sink (ms: min / median / p99 / max)")
print("  program: %s" % program)
for situation, label in (("rest", "at rest"), ("demo", "during a DEMO"), ("paused", "first note after a pause")):
    figures, unheard, uncertain, running, loudest = [], 0, 0, 0, 0
    for pressed, start, spread, not_paused in results[situation]:
        value, background = latency(pressed, start)
        loudest = max(loudest, background)
        if spread > UNCERTAIN:
            uncertain += 1
        elif not_paused:
            running += 1
        elif value is None:
            unheard += 1
            offset = offset_near(start)
            first = max(0, int(math.floor((pressed - offset) * RATE)))
            around = samples[max(0, first - RATE // 2):first + RATE]
            loudest_at = max(range(len(around)), key=lambda i: abs(around[i]), default=0)
            print("  (a press not heard: the loudest sample from 0.5 s before it to 1 s after is %d, at %+.1f ms)"
                  % (abs(around[loudest_at]) if around else 0,
                     (loudest_at - (first - max(0, first - RATE // 2))) * 1000 / RATE), file=sys.stderr)
        else:
            figures.append(value)
    notes = ["%d presses" % len(figures)]
    if unheard:
        notes.append("%d not heard" % unheard)
    if uncertain:
        notes.append("%d left out: instant uncertain" % uncertain)
    if running:
        notes.append("%d left out: the output had not paused" % running)
    print("  %-26s %s   (%s)" % (label + ":", summary(figures), ", ".join(notes)))
    if len(figures) > 3:
        print("  %-26s %s" % ("", "largest: " + ", ".join("%.2f" % v for v in sorted(figures)[-3:])))
    if situation == "demo":
        print("  %-26s %d of 32767 (a note counts from %d)" % ("DEMO's loudest sample:", loudest, LOUD))
print("  press instants known within %.1f ms" % (UNCERTAIN * 1000))
PYTHON
