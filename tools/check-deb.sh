#!/bin/sh
# Builds the Debian package from a build folder (default build/, built
# already) and checks it: its dependencies, that it holds exactly the files
# that `cmake --install` installs (tests/install/installed_files.txt), that
# its tonquill runs, and that lintian finds no errors (its warnings are
# printed). With --apt, as root, it is then installed with apt and purged
# again, but only when apt would install nothing else, so the machine is left
# as it was.
#   tools/check-deb.sh [--apt] [BUILD]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
with_apt=false
if [ "${1:-}" = "--apt" ]; then with_apt=true; shift; fi
build=$(cd "${1:-$top/build}" && pwd)
"$top/tools/install-packages.sh" dpkg-dev file lintian

fail() {
  echo "check-deb: $*" >&2
  exit 1
}

rm -f "$build"/tonquill_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
set -- "$build"/tonquill_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || fail "cpack made no single tonquill_*.deb in $build"
deb=$1
echo "== $(basename "$deb")"
dpkg-deb --info "$deb"

# The dependencies: the shared libraries dpkg-shlibdeps found, a SoundFont,
# the Japanese face, and a file chooser recommended.
depends=$(dpkg-deb --field "$deb" Depends)
for wanted in "timgm6mb-soundfont | fluid-soundfont-gm" fonts-ipafont-gothic libsdl2-2.0-0 libsdl2-ttf-2.0-0 \
              libfluidsynth3 libasound2 libpulse0 libfontconfig1 libx11-6 libc6 libstdc++6; do
  case ", $depends," in
    *", $wanted"[\ ,]*) ;;
    *) fail "Depends lacks $wanted: $depends" ;;
  esac
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "zenity | kdialog" ] || fail "Recommends is not 'zenity | kdialog'"
version=$(dpkg-deb --field "$deb" Version)

# Its files are the installed files, under /usr.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
[ "$(ls -A "$unpacked")" = "usr" ] || fail "the package puts files outside /usr: $(ls -A "$unpacked")"
(cd "$unpacked/usr" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort) >"$unpacked.list"
if ! diff -u "$top/tests/install/installed_files.txt" "$unpacked.list"; then
  rm -f "$unpacked.list"
  fail "the package's files differ from the installed files (above: - expected, + packaged)"
fi
rm -f "$unpacked.list"
echo "== the package holds the $(wc -l <"$top/tests/install/installed_files.txt") installed files"
[ "$("$unpacked/usr/bin/tonquill" --version)" = "tonquill $version" ] || fail "its tonquill --version is not $version"
echo "== its tonquill --version: tonquill $version"

# lintian: errors fail, warnings are shown.
lintian --tag-display-limit 0 "$deb" >"$build/lintian.txt" 2>&1 || true
cat "$build/lintian.txt"
grep -q '^E: ' "$build/lintian.txt" && fail "lintian reports errors"
echo "== lintian: no errors, $(grep -c '^W: ' "$build/lintian.txt" || true) warnings"

$with_apt || exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "== apt: skipped (needs root)"
  exit 0
fi
if dpkg-query -W -f='${Status}' tonquill 2>/dev/null | grep -q "ok installed"; then
  echo "== apt: skipped (a tonquill package is installed already)"
  exit 0
fi
plan=$(apt-get install -s --no-install-recommends "$deb" 2>/dev/null | grep -E '^[0-9]+ upgraded' || true)
case "$plan" in
  "0 upgraded, 1 newly installed, 0 to remove and "*) ;;
  *)
    echo "== apt: skipped (apt would change more than this package: $plan)"
    exit 0
    ;;
esac
trap 'apt-get purge -y -qq tonquill >/dev/null 2>&1 || true; rm -rf "$unpacked"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
[ "$(/usr/bin/tonquill --version)" = "tonquill $version" ] || fail "the installed tonquill does not run"
[ "$(man -w tonquill)" = /usr/share/man/man6/tonquill.6.gz ] || fail "man does not find tonquill(6)"
[ -f /usr/share/tonquill/songs/twinkle.mid ] || fail "the songs are not installed"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tonquill >/dev/null
trap 'rm -rf "$unpacked"' EXIT
while read -r file; do
  [ ! -e "/usr/$file" ] || fail "/usr/$file is left after the purge"
done <"$top/tests/install/installed_files.txt"
for folder in /usr/share/tonquill /usr/share/doc/tonquill; do
  [ ! -e "$folder" ] || fail "$folder is left after the purge"
done
! dpkg-query -W -f='${Status}' tonquill 2>/dev/null | grep -qE "ok (installed|config-files)" ||
  fail "dpkg still lists tonquill"
echo "== apt: installed, ran, purged; nothing left behind"
