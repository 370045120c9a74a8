#!/bin/sh
# Checks that the program's folders form layers: a file may include headers
# of its own folder and of the folders below it, never of one above. Tests,
# benchmarks and tools are outside the layers. Prints every include against
# the order and fails when there is one.
set -eu
cd "$(dirname "$0")/.."

# Bottom first.
layers="base platform report song midi player draw files scene game app"

rank() {
  i=0
  for layer in $layers; do
    [ "$layer" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}

status=0
for folder in $layers; do
  [ -d "$folder" ] || continue
  own=$(rank "$folder")
  # Every '#include "folder/..."' line, as file:line:folder.
  for hit in $(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/' "$folder" \
                 --include='*.h' --include='*.cpp' | sed -E 's/#[[:space:]]*include[[:space:]]+"//; s/\/$//; s/:[[:space:]]*/:/g'); do
    file=${hit%%:*}
    target=${hit##*:}
    theirs=$(rank "$target")
    if [ "$theirs" -lt 0 ]; then
      echo "check-layers: $file includes from \"$target/\", which is no layer" >&2
      status=1
    elif [ "$theirs" -gt "$own" ]; then
      echo "check-layers: $file ($folder) includes from $target, a layer above it" >&2
      status=1
    fi
  done
done
# A path that climbs out of its folder would pass unseen above.
if grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"\.\./' $layers --include='*.h' --include='*.cpp' 2>/dev/null; then
  echo "check-layers: include paths name the folder from the top, never with ../" >&2
  status=1
fi
# A call up: a file that defines functions in the namespace of a layer
# below its own (the lower layer declared them as hooks). Each such hook
# must be listed, as namespace::Function, in docs/design.md.
namespace_layer() {
  case $1 in
    platform | platform::*) echo platform ;;
    report) echo report ;;
    song) echo song ;;
    midi | elSystem) echo midi ;;
    player) echo player ;;
    draw | elDraw) echo draw ;;
    files) echo files ;;
    scene) echo scene ;;
    game) echo game ;;
    app) echo app ;;
    *) echo "" ;;
  esac
}
for folder in $layers; do
  [ -d "$folder" ] || continue
  own=$(rank "$folder")
  for file in $(grep -rlE '^namespace [A-Za-z_:]+ \{' "$folder" --include='*.cpp'); do
    for ns in $(sed -nE 's/^namespace ([A-Za-z_:]+) \{.*/\1/p' "$file" | sort -u); do
      layer=$(namespace_layer "$ns")
      [ -n "$layer" ] || continue
      [ "$(rank "$layer")" -lt "$own" ] || continue
      # The functions defined inside that namespace's blocks.
      for name in $(awk -v ns="$ns" '
          $0 ~ "^namespace " ns " \\{" { inside = 1; next }
          inside && $0 ~ "^}  // namespace " ns "$" { inside = 0; next }
          inside && /^[A-Za-z_][A-Za-z0-9_:<>,*& ]*[ *&][A-Za-z_][A-Za-z0-9_]*\(/ && (/\{/ || !/;[[:space:]]*$/) {
            line = $0; sub(/\(.*/, "", line); n = split(line, words, /[ *&]+/); print words[n]
          }' "$file"); do
        if ! grep -qF "$ns::$name" docs/design.md; then
          echo "check-layers: $file defines the hook $ns::$name of a lower layer, which docs/design.md does not list" >&2
          status=1
        fi
      done
    done
  done
done
# A module's state joins the program's reset by its declaration
# (base/module_state.h): a State declared any other way would be missed.
for folder in $layers; do
  [ "$folder" = base ] || [ "$folder" = platform ] || [ ! -d "$folder" ] && continue
  if grep -rnE '^[[:space:]]*(static[[:space:]]+)?State[[:space:]]+[A-Za-z_]+[[:space:]]*(;|\{|=)' "$folder" --include='*.cpp' --include='*.h'; then
    echo "check-layers: a module's State is declared as base::ModuleState<State> state, so that the reset reaches it" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "check-layers: every include goes down: $layers; every hook is listed; every module state is reset"
exit $status
