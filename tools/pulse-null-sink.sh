#!/bin/sh
# A private PulseAudio server whose only output is a null sink, for
# measuring and testing the built-in synthesizer on a machine without a
# sound card. Everything it keeps lives in the folder given:
#
#   tools/pulse-null-sink.sh start DIR   starts it; clients then use
#                                        PULSE_SERVER=unix:DIR/native and
#                                        record DIR's sink from "tonquill_sink.monitor"
#   tools/pulse-null-sink.sh stop DIR    stops it (only the server it started)
#
# The sink suspends after 5 seconds without sound, as on a desktop.
set -eu
action=${1:-}
dir=${2:-}
[ -n "$action" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
case "$action" in
  start)
    mkdir -p "$dir/home" "$dir/runtime" "$dir/state"
    # The server's own files stay in DIR, never in the user's home.
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/runtime" PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" \
      pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --use-pid-file=no --log-target=stderr \
      -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
      -L "module-null-sink sink_name=tonquill_sink" \
      -L "module-suspend-on-idle timeout=5" >"$dir/server.log" 2>&1 &
    echo $! >"$dir/server.pid"
    # Ready when a client gets an answer (at most 10 s).
    tries=0
    until PULSE_SERVER="unix:$dir/native" PULSE_COOKIE="$dir/cookie" pactl info >/dev/null 2>&1; do
      tries=$((tries + 1))
      if [ $tries -gt 100 ] || ! kill -0 "$(cat "$dir/server.pid")" 2>/dev/null; then
        echo "$0: the sound server did not start:" >&2
        cat "$dir/server.log" >&2
        exit 1
      fi
      sleep 0.1
    done
    ;;
  stop)
    [ -f "$dir/server.pid" ] || exit 0
    pid=$(cat "$dir/server.pid")
    kill "$pid" 2>/dev/null || true
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ $tries -lt 50 ]; do
      tries=$((tries + 1))
      sleep 0.1
    done
    rm -f "$dir/server.pid"
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
