#!/bin/sh
# Writes the traces of a set of songs into a folder, one file a run, so that
# two builds can be compared byte for byte:
#
#   tools/trace-corpus.sh build /tmp/before          # before a change
#   tools/trace-corpus.sh build /tmp/after           # after it
#   diff -r /tmp/before /tmp/after                   # no output: no change
#
# Each song is traced in DEMO; in TRAINING and GAME with every part at press
# offsets -40, 0 and +300 ms; at --speed 50 in the three modes; and in DEMO
# and TRAINING with a loop over its second and third measures. The songs are
# the bundled ones, the engine's test songs, and any given after the folder
# (by default the real-world songs in ../shared/songs-real when present).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: trace-corpus.sh BUILD OUTDIR [SONG.mid ...]}
out=${2:?usage: trace-corpus.sh BUILD OUTDIR [SONG.mid ...]}
shift 2
trace="$build/tonquill-trace"
[ -x "$trace" ] || { echo "trace-corpus: no $trace: build first" >&2; exit 1; }
if [ $# -eq 0 ]; then
  set -- "$top"/assets/songs/*.mid "$top"/tests/data/*.mid
  for song in "$top"/../shared/songs-real/*.mid; do [ -f "$song" ] && set -- "$@" "$song"; done
fi
mkdir -p "$out"

# Runs one trace; its output and exit status go to OUT/NAME.
run() {
  name=$1
  shift
  status=0
  "$trace" "$@" >"$out/$name" 2>&1 || status=$?
  echo "# exit $status" >>"$out/$name"
}

for song in "$@"; do
  base=$(basename "$song" .mid)
  run "$base.parts" --list-parts "$song"
  run "$base.demo" "$song"
  for speedMode in demo training game; do run "$base.$speedMode.speed50" --mode "$speedMode" --speed 50 "$song"; done
  run "$base.demo.loop" --loop 2-3 "$song"
  run "$base.training.loop" --mode training --loop 2-3 "$song"
  for part in $(sed -n 's/^# part \([^ ]*\) .*/\1/p' "$out/$base.parts"); do
    for mode in training game; do
      for offset in -40 0 300; do run "$base.$mode.$part.$offset" --mode "$mode" --part "$part" --press-offset-ms "$offset" "$song"; done
    done
  done
done
