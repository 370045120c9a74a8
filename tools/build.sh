#!/bin/sh
# Installs what the build needs and builds into the given folder (default
# build/). Extra arguments go to cmake.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$top/build"}
[ $# -gt 0 ] && shift
"$top/tools/install-build-packages.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
