#!/bin/bash
# Puts the shipped lists into the data folder beside the programs of each
# Windows build (win: the one run here; win32: the one shipped).
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SH_BUILD_ROOT:-build}
[ -x $B/native/swhpack ] || exit 0
for build in win win32; do
  [ -d "$B/$build" ] || continue
  out=$B/$build/data
  mkdir -p "$out"
  for pair in "spotlist.xml:Splst.swh" "pluginlist.xml:Plglst.swh"; do
    src=data/${pair%%:*}; dst=$out/${pair##*:}
    [ -f "$src" ] || continue
    if [ ! -f "$dst" ] || [ "$src" -nt "$dst" ] || [ $B/native/swhpack -nt "$dst" ]; then
      $B/native/swhpack pack "$src" "$dst"
    fi
  done
done
