#!/bin/sh
# Measures what each of the game's threads costs, in % of one core, in three
# situations: at rest on the main screen, during a DEMO, and while TRAINING
# waits at a guide note that nobody plays. The game runs in a window on a
# private X server with its synthesizer playing into a private PulseAudio
# server whose only output is a null sink; the mode buttons are clicked
# with xdotool. Prints one line per situation and thread, with min / median
# / max over RUNS runs (default 3) of SECONDS each (default 5):
#
#   tools/bench-threads.sh [RUNS [SECONDS]]
#
# The figures come from the scheduler's own count of each thread's time on
# a processor (/proc/PID/task/TID/schedstat, in nanoseconds), so short
# windows stay exact. $TONQUILL_PROGRAM names another executable to measure
# (an older build); otherwise the game is built into build/ (or
# $TONQUILL_BUILD). Everything it starts runs in a temporary folder and is
# stopped at the end. A benchmark, not a test: the figures depend on the
# machine and its load.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
seconds=${2:-5}
build=${TONQUILL_BUILD:-"$top/build"}

"$top/tools/install-packages.sh" pulseaudio pulseaudio-utils timgm6mb-soundfont fonts-ipafont-gothic \
  fonts-ipafont-mincho xvfb xauth x11-utils xdotool python3 >&2
if [ -n "${TONQUILL_PROGRAM:-}" ]; then
  program=$TONQUILL_PROGRAM
else
  "$top/tools/build.sh" "$build" >&2
  program="$build/tonquill"
fi

work=$(mktemp -d /tmp/tonquill-bench-threads-XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
  for pid in $game_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  for pid in $game_pid $xvfb_pid; do wait "$pid" 2>/dev/null || true; done
  "$top/tools/pulse-null-sink.sh" stop "$work/pulse" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

. "$top/tools/bench-kit.sh"
start_sound_and_display
DISPLAY=$display
export DISPLAY

# A song of two minutes at 120 beats a minute: the guide (track 2) first
# plays at 2 s, a soft accompaniment plays a note every half beat.
python3 - "$work/song.mid" <<'PYTHON'
import struct, sys

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

guide = [(1920, b"\x90\x3c\x50"), (480, b"\x80\x3c\x00")]
for i in range(230):
    guide += [(0, bytes([0x90, 60 + i % 8, 0x50])), (480, bytes([0x80, 60 + i % 8, 0]))]
band = [(0, b"\xb1\x07\x14")]
for i in range(960):
    band += [(0 if i == 0 else 40, bytes([0x91, 48 + i % 5, 8])), (200, bytes([0x81, 48 + i % 5, 0]))]
song = b"MThd" + struct.pack(">IHHH", 6, 1, 3, 480)
song += track([(0, b"\xff\x03\x0dBench threads"), (0, b"\xff\x51\x03\x07\xa1\x20")])
song += track(guide) + track(band)
with open(sys.argv[1], "wb") as f:
    f.write(song)
PYTHON

# "TID NAME NANOSECONDS" for every thread of the game.
thread_times() {
  for task in /proc/"$game_pid"/task/*; do
    tid=${task##*/}
    name=$(tr ' ' '_' <"$task/comm" 2>/dev/null) || continue
    [ "$tid" = "$game_pid" ] && name="main"
    time=$(cut -d' ' -f1 "$task/schedstat" 2>/dev/null) || continue
    echo "$tid $name $time"
  done
}

# Appends "SITUATION THREAD PERCENT" lines for the threads over the window.
measure() {
  thread_times >"$work/before"
  sleep "$seconds"
  thread_times >"$work/after"
  awk -v situation="$1" -v s="$seconds" 'NR == FNR { start[$1] = $3; next }
    { used = $3 - (($1 in start) ? start[$1] : 0); total[$2] += used }
    END { for (name in total) printf "%s %s %.2f\n", situation, name, total[name] / 1e7 / s }' \
    "$work/before" "$work/after" >>"$work/figures"
}

# Clicks button n of the main screen's row (x from 10 + 62n to 72 + 62n, y
# from 180 to 210 inside the 640 x 480 picture).
click_button() {
  xdotool mousemove --window "$window" $((41 + 62 * $1)) 195 click 1
}

: >"$work/figures"
run=1
while [ "$run" -le "$runs" ]; do
  home="$work/home$run"
  mkdir -p "$home"
  HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" TONQUILL_INSTANCE_DIR="$home" \
    "$program" - "$work/song.mid" >/dev/null 2>&1 &
  game_pid=$!
  wait_for "xdotool search --name '^Tonquill' >/dev/null 2>&1" 20 ||
    { echo "$0: the game's window did not appear" >&2; exit 1; }
  window=$(xdotool search --name '^Tonquill' | head -n 1)
  sleep 2  # the SoundFont read and the first picture shown
  measure rest
  click_button 4  # DEMO
  sleep 1
  measure demo
  click_button 1  # stop
  sleep 0.5
  click_button 3  # TRAINING: halts at the guide's first note
  sleep 6  # halted since 2 s into the run; the sound has paused after 3 s of silence
  measure halted-training
  kill "$game_pid"
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
  run=$((run + 1))
done

# min / median / max of each situation and thread, in the order measured.
awk '{ key = $1 " " $2; if (!(key in n)) order[++keys] = key; v[key, ++n[key]] = $3 }
  END {
    for (k = 1; k <= keys; ++k) {
      key = order[k]; c = n[key]
      for (i = 1; i <= c; ++i) for (j = i + 1; j <= c; ++j)
        if (v[key, j] < v[key, i]) { t = v[key, i]; v[key, i] = v[key, j]; v[key, j] = t }
      m = (c % 2) ? v[key, (c + 1) / 2] : (v[key, c / 2] + v[key, c / 2 + 1]) / 2
      printf "%-16s %-16s %6.2f / %6.2f / %6.2f %% of a core\n", key == "" ? "" : substr(key, 1, index(key, " ") - 1),
        substr(key, index(key, " ") + 1), v[key, 1], m, v[key, c]
    }
  }' "$work/figures"
