#!/bin/sh
# Builds the libFuzzer targets (clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each of them for
# SECONDS (default 300), one after the other, under nice.
#
#   tools/fuzz.sh [SECONDS]              every target
#   FUZZ_TARGETS=fuzz_song tools/fuzz.sh 3600   one target for an hour
#
# Each target keeps its corpus in build-fuzz/corpus/TARGET (it grows from
# run to run) and starts from the seeds in the source tree. An input that
# crashes is written to build-fuzz/crashes/TARGET/ and the script ends with
# status 1; make it a regression test with the input under tests/data/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
build="$top/build-fuzz"
targets=${FUZZ_TARGETS:-"fuzz_song fuzz_bmp fuzz_command_line fuzz_ranking"}

"$top/tools/install-build-packages.sh" clang libclang-rt-14-dev
CXX=clang++ cmake -S "$top" -B "$build" -DTONQUILL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j 2 --target $targets

# Seeds and settings of each target: seed folders, dictionary, longest input.
seeds_fuzz_song="$top/tests/data $top/assets/songs"
max_len_fuzz_song=16384
seeds_fuzz_bmp="$top/tests/fuzz/seeds/bmp"
max_len_fuzz_bmp=16384
seeds_fuzz_command_line="$build/seeds/command_line"
max_len_fuzz_command_line=300
seeds_fuzz_ranking="$build/seeds/ranking"
max_len_fuzz_ranking=512

# Command lines worth starting from: the songs in the fuzzer's folder, the
# window-mode dash, and one line too long to be taken.
mkdir -p "$build/seeds/command_line"
printf 'a.mid' >"$build/seeds/command_line/song"
printf -- '-' >"$build/seeds/command_line/window"
printf 'redade7.mid' >"$build/seeds/command_line/probe-song"
printf '%0300d' 0 >"$build/seeds/command_line/too-long"
# Ranking files: the default table, a short one, and odd score fields.
mkdir -p "$build/seeds/ranking"
printf 'AAA        0500 BBB        0400 CCC        0300 DDD        0200 EEE        0100 ' >"$build/seeds/ranking/default"
printf 'ANN        0900 BOB       0 5x3 CARLOTTA' >"$build/seeds/ranking/short"
printf 'ZED       99999 ZED       12345 \000\377\001      00000 ' >"$build/seeds/ranking/odd"

# The targets' own folders live here; a target that crashed leaves its own.
export TMPDIR="$build/tmp"
mkdir -p "$TMPDIR"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
failed=""
passed=0
for target in $targets; do
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  log="$build/logs/$target.log"
  mkdir -p "$corpus" "$crashes" "$build/logs"
  dictionary="$top/tests/fuzz/${target#fuzz_}.dict"
  eval "seed_folders=\$seeds_$target max_len=\$max_len_$target"
  echo "== $target for $seconds s (log: $log)"
  # shellcheck disable=SC2154,SC2086
  if nice -n 10 "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -max_len="$max_len" -dict="$dictionary" -artifact_prefix="$crashes/" -print_final_stats=1 \
      "$corpus" $seed_folders >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    failed="$failed $target"
    grep -E "ERROR|runtime error|Test unit written" "$log" | head -5
  fi
  # The last status line: executions, coverage (edges), features, corpus.
  grep -E '^#[0-9]+' "$log" | tail -1
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
done
rm -rf "$TMPDIR"
# shellcheck disable=SC2086
set -- $failed
echo "fuzz: $passed passed, $# failed"
if [ $# -gt 0 ]; then
  echo "fuzzing found faults in:$failed (inputs under $build/crashes/)"
  exit 1
fi
