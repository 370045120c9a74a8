# Sourced by the benchmark scripts that run the real game: a private sound
# server and X server, and a wait on a shell condition. Expects $top (the
# source tree) and $work (the script's own temporary folder).

# Waits up to $2 seconds for the shell condition $1.
wait_for() {
  tries=0
  until eval "$1"; do
    tries=$((tries + 1))
    [ $tries -gt $(($2 * 10)) ] && return 1
    sleep 0.1
  done
}

# A PulseAudio server with a null sink for the game's sound (stopped with
# `"$top/tools/pulse-null-sink.sh" stop "$work/pulse"`), and Xvfb on a
# display it picks free itself: sets $xvfb_pid and $display.
start_sound_and_display() {
  "$top/tools/pulse-null-sink.sh" start "$work/pulse"
  export PULSE_SERVER="unix:$work/pulse/native" PULSE_COOKIE="$work/pulse/cookie"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  wait_for "[ -s '$work/display' ]" 10 || { echo "$0: the X server did not start" >&2; exit 1; }
  display=":$(cat "$work/display")"
}
