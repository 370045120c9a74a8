#!/bin/sh
# Builds the game and plays a bundled song with the built-in synthesizer.
# Arguments replace the song (for example another .mid file, or - for a window).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-packages.sh" timgm6mb-soundfont fonts-ipafont-gothic fonts-ipafont-mincho zenity xfonts-base
"$top/tools/build.sh" "$top/build"
if [ $# -eq 0 ]; then set -- "$top/assets/songs/twinkle.mid"; fi
exec "$top/build/tonquill" "$@"
