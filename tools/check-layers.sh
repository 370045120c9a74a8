#!/bin/sh
# Checks that the program's folders form layers: a file may include headers
# of its own folder and of the folders below it, never of one above. Tests,
# benchmarks and tools are outside the layers. Prints every include against
# the order and fails when there is one.
set -eu
cd "$(dirname "$0")/.."

# Bottom first.
layers="platform report song midi player draw files scene game app"

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
[ $status -eq 0 ] && echo "check-layers: every include goes down: $layers"
exit $status
