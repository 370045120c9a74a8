#!/bin/sh
# Builds Release into build-bench/ and prints the project's performance
# figures, each as min / median / max over repeated runs:
#
#   tools/bench.sh [RUNS]        (default 7 runs of each engine figure)
#
# First the engine on the deterministic backend (tonquill-bench: loading the
# largest song, the main scene's frame pass during DEMO, the cost per
# message, a loop's slowest jumps back), then, where they exist, the start-up
# figure (tools/bench-start.sh), the audio figures (tools/bench-audio.sh), the
# key-press-to-sound figures (tools/bench-press.sh) and each thread's cost at
# rest, in DEMO and in a halted TRAINING (tools/bench-threads.sh). Everything runs under nice;
# for steady figures run it on an otherwise idle machine.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
build="$top/build-bench"
"$top/tools/install-build-packages.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTONQUILL_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target tonquill-bench >/dev/null

nice -n 5 "$build/bench/tonquill-bench" "$runs"

for part in bench-start bench-audio bench-press bench-threads; do
  script="$top/tools/$part.sh"
  echo
  if [ -x "$script" ]; then
    "$script"
  else
    echo "$part: skipped (tools/$part.sh does not exist yet)"
  fi
done
