#!/bin/bash
# Puts the shipped lists into the data folder beside the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/win/data
mkdir -p "$out"
if [ -x build/native/swhpack ]; then
  for pair in "spotlist.xml:Splst.swh" "pluginlist.xml:Plglst.swh"; do
    src=data/${pair%%:*}; dst=$out/${pair##*:}
    [ -f "$src" ] || continue
    if [ ! -f "$dst" ] || [ "$src" -nt "$dst" ] || [ build/native/swhpack -nt "$dst" ]; then
      build/native/swhpack pack "$src" "$dst"
    fi
  done
fi
