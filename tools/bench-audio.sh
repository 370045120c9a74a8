#!/bin/sh
# Measures the built-in synthesizer on a private PulseAudio server whose
# only output is a null sink, and prints min / median / max over RUNS runs
# (default 5):
#
#   - idle CPU, in % of one core, of the game's own threads (all of them,
#     and its audio thread alone) and of the sound server, with `tonquill -`
#     resting on its main screen in a private X server;
#   - key-to-sound time, in ms, from the moment a note-on leaves the program
#     (the call the game's frame makes) to the moment its sound reaches a
#     recorder of the sink's monitor, both while the output is busy and for
#     a note after the output paused in silence;
#   - peak memory of `tonquill -` at rest with no audio output at all (so
#     the SoundFont must not be read) and with no SoundFont, in MB.
#
# $TONQUILL_SOUNDFONT picks the SoundFont, as for the game.
#
#   tools/bench-audio.sh [RUNS]
#
# Installs what it needs, builds into build/ (or $TONQUILL_BUILD), and stops
# every process it started.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
build=${TONQUILL_BUILD:-"$top/build"}
idle_seconds=10

"$top/tools/install-packages.sh" pulseaudio pulseaudio-utils timgm6mb-soundfont fonts-ipafont-gothic \
  fonts-ipafont-mincho xfonts-base xvfb xauth x11-utils >&2
"$top/tools/build.sh" "$build" >&2
cmake --build "$build" --target key_to_sound >/dev/null

work=$(mktemp -d /tmp/tonquill-bench-audio-XXXXXX)
# The game keeps its data (history, rankings) in the work folder, removed at
# the end, never in the user's.
export XDG_DATA_HOME="$work/data"
xvfb_pid=""
game_pid=""
recorder_pid=""
cleanup() {
  for pid in $recorder_pid $game_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  for pid in $recorder_pid $game_pid $xvfb_pid; do wait "$pid" 2>/dev/null || true; done
  "$top/tools/pulse-null-sink.sh" stop "$work/pulse" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

. "$top/tools/bench-kit.sh"
start_sound_and_display
ticks_per_second=$(getconf CLK_TCK)

# Prints "min median max" of the numbers on standard input.
summary() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "no figures"; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.2f / %.2f / %.2f\n", v[1], m, v[NR] }'
}

# CPU ticks (user + system) of a process, or of those of its threads whose
# name is given.
ticks() {
  if [ $# -gt 1 ]; then
    for task in /proc/"$1"/task/*; do
      [ "$(cat "$task/comm" 2>/dev/null)" = "$2" ] && cut -d' ' -f14,15 "$task/stat"
    done | awk '{ t += $1 + $2 } END { print t + 0 }'
  else
    cut -d' ' -f14,15 /proc/"$1"/stat | awk '{ print $1 + $2 }'
  fi
}

# Percent of one core between two tick counts over the idle window.
percent() {
  echo "$1 $2" | awk -v t="$ticks_per_second" -v s=$idle_seconds '{ printf "%.2f\n", ($2 - $1) * 100 / t / s }'
}

# Starts `tonquill -` in the private X server with the given environment
# and waits for its window.
start_game() {
  instance=$(mktemp -d "$work/instance-XXXXXX")
  env "$@" DISPLAY="$display" TONQUILL_INSTANCE_DIR="$instance" "$build/tonquill" - >/dev/null 2>&1 &
  game_pid=$!
  wait_for "DISPLAY=$display xwininfo -root -tree | grep -q '\"Tonquill\"'" 20 ||
    { echo "$0: the game's window did not appear" >&2; exit 1; }
}

stop_game() {
  kill $game_pid; wait $game_pid 2>/dev/null || true; game_pid=""
}

# The game's peak memory so far, in MB.
peak_mb() { awk '/^VmHWM:/ { printf "%.1f\n", $2 / 1024 }' /proc/"$game_pid"/status; }

# --- Idle CPU -------------------------------------------------------------
server_pid=$(cat "$work/pulse/server.pid")
: >"$work/game" ; : >"$work/audio" ; : >"$work/server" ; : >"$work/all"
run=1
while [ $run -le "$runs" ]; do
  start_game
  # At rest: the synthesizer's stream paused and the sink suspended.
  wait_for "pactl list short sinks | grep -q SUSPENDED" 30 || echo "note: the sink never suspended" >&2
  game0=$(ticks $game_pid); audio0=$(ticks $game_pid threaded-ml); server0=$(ticks "$server_pid")
  sleep $idle_seconds
  game1=$(ticks $game_pid); audio1=$(ticks $game_pid threaded-ml); server1=$(ticks "$server_pid")
  stop_game
  percent "$game0" "$game1" >>"$work/game"
  percent "$audio0" "$audio1" >>"$work/audio"
  percent "$server0" "$server1" >>"$work/server"
  percent $((game0 + server0)) $((game1 + server1)) >>"$work/all"
  run=$((run + 1))
done

# --- Peak memory ----------------------------------------------------------
# No audio output: no sound server at that address, and an ALSA
# configuration that names no device.
: >"$work/no-devices.conf"
: >"$work/memory-no-output" ; : >"$work/memory-no-font"
run=1
while [ $run -le "$runs" ]; do
  start_game PULSE_SERVER="unix:$work/nothing-here" ALSA_CONFIG_PATH="$work/no-devices.conf"
  sleep 3  # long enough for any SoundFont to have been read
  peak_mb >>"$work/memory-no-output"
  stop_game
  start_game TONQUILL_SOUNDFONT=/nonexistent.sf2
  sleep 3
  peak_mb >>"$work/memory-no-font"
  stop_game
  run=$((run + 1))
done
kill $xvfb_pid; wait $xvfb_pid 2>/dev/null || true; xvfb_pid=""

# --- Key to sound ---------------------------------------------------------
mkfifo "$work/monitor"
parec --raw --format=s16le --channels=2 --rate=44100 --latency-msec=1 --device=tonquill_sink.monitor \
  >"$work/monitor" 2>/dev/null &
recorder_pid=$!
exec 3<"$work/monitor"
# The null sink renders far ahead for a moment after the recorder wakes it.
sleep 3
# The output pauses after 3 s of silence; a note 5 s after the last one
# finds it paused.
"$build/key_to_sound" "$runs" "$runs" 5000 <&3 >"$work/notes"
exec 3<&-
kill $recorder_pid 2>/dev/null || true; wait $recorder_pid 2>/dev/null || true; recorder_pid=""

echo "Built-in synthesizer on a PulseAudio null sink, $runs runs (min / median / max)"
echo "  SoundFont: ${TONQUILL_SOUNDFONT:-the default}"
echo "  idle CPU, game (all threads) %:    $(summary <"$work/game")"
echo "  idle CPU, game audio thread %:     $(summary <"$work/audio")"
echo "  idle CPU, sound server %:          $(summary <"$work/server")"
echo "  idle CPU, game and server %:       $(summary <"$work/all")"
echo "  peak memory, no audio output, MB:  $(summary <"$work/memory-no-output")"
echo "  peak memory, no SoundFont, MB:     $(summary <"$work/memory-no-font")"
echo "  key to sound, output busy, ms:     $(awk '$1 == "running" { print $2 }' "$work/notes" | summary)"
echo "  key to sound, after a pause, ms:   $(awk '$1 == "idle" { print $2 }' "$work/notes" | summary)"
if grep -q -e '-1.00' -e 'idle-but-running' "$work/notes"; then
  echo "  (some notes were not heard, or the output had not paused: see below)"
  cat "$work/notes"
fi
