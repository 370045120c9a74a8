#!/bin/sh
# Builds everything and runs the whole test suite. With --sanitize the tests
# are built and run with AddressSanitizer and UndefinedBehaviorSanitizer (in
# build-sanitize/); with --release, in the Release configuration, optimised
# as far as the compiler goes (in build-release/).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-packages.sh" timgm6mb-soundfont fonts-ipafont-gothic fonts-ipafont-mincho zenity \
  xfonts-base xvfb xauth xdotool imagemagick x11-utils alsa-utils pulseaudio pulseaudio-utils openbox \
  desktop-file-utils appstream man-db x11-xkb-utils
if [ "${1:-}" = "--sanitize" ]; then
  build="$top/build-sanitize"
  "$top/tools/build.sh" "$build" -DTONQUILL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"
elif [ "${1:-}" = "--release" ]; then
  build="$top/build-release"
  "$top/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release
else
  build="$top/build"
  "$top/tools/build.sh" "$build"
fi
cd "$build" && ctest --output-on-failure -j "$(nproc)"
