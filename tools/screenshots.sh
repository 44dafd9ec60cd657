#!/bin/bash
# Pictures of the real window under Xvfb: the home screen, the Clean list
# after a run, the tray menu. PNG files in $B/screenshots.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
out=$B/screenshots
mkdir -p "$out"
sh_wine_prefix "$B/wine/shots" fresh || exit 1
sh_install_into_prefix "$B/win"
sh_xvfb_start || exit 1
sh_wine_start
trap 'sh_wine_stop; sh_xvfb_stop' EXIT

shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "$out/$1.png" && echo "saved $out/$1.png"; }
poke() { sh_wine 20 'C:\SweepHarbor\shpoke.exe' "$@"; }
title='SweepHarbor v1.04'

sh_wine 60 'C:\SweepHarbor\swhclean.exe' --seed >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
poke wait "$title" 30 || { echo "screenshots: the window did not come up" >&2; exit 1; }
sleep 1
shot home
poke post "$title" 0x111 32773 0      # tray menu "Start Cleaning": the Clean list
sleep 1
poke click "$title" "Start Cleaning"
sleep 1
# Wait for the run to end (the button reads "Abort" meanwhile).
for _ in $(seq 1 240); do poke has "$title" "Abort" >/dev/null 2>&1 || break; sleep 0.5; done
sleep 1
shot cleanlist
poke post "$title" 0x111 1056 0       # to the tray
sleep 1
poke post "$title" 0x87D4 202 0x205   # right button up on the icon: the menu
sleep 1
shot traymenu
poke post "$title" 0x111 2 0 || true  # Escape closes
