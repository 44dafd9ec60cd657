#!/bin/bash
# Puts the shipped lists into the data folder beside the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SH_BUILD_ROOT:-build}
out=$B/win/data
mkdir -p "$out"
if [ -x $B/native/swhpack ]; then
  for pair in "spotlist.xml:Splst.swh" "pluginlist.xml:Plglst.swh"; do
    src=data/${pair%%:*}; dst=$out/${pair##*:}
    [ -f "$src" ] || continue
    if [ ! -f "$dst" ] || [ "$src" -nt "$dst" ] || [ $B/native/swhpack -nt "$dst" ]; then
      $B/native/swhpack pack "$src" "$dst"
    fi
  done
fi
