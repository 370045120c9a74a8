#!/bin/sh
# Installs the Debian packages the build needs (only those missing), plus
# any given as arguments. Called by build.sh, bench.sh and fuzz.sh.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-packages.sh" g++ cmake make pkg-config libgtest-dev \
  libsdl2-dev libsdl2-ttf-dev libfluidsynth-dev libpulse-dev libasound2-dev zlib1g-dev fontconfig "$@"
