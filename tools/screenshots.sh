#!/bin/bash
# Pictures of the real window under Xvfb: the home screen, the Clean list
# after a run, the tray menu, and the shields' popup sliding in and standing
# when another program changes the browser's search page. PNG files in
# $B/screenshots.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-${B:-build}}
out=$B/screenshots
mkdir -p "$out"
sh_wine_prefix "$B/wine/shots" fresh || exit 1
sh_install_into_prefix "$B/win"
sh_xvfb_start || exit 1
sh_wine_start
trap 'sh_wine_stop; sh_xvfb_stop' EXIT

shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "$out/$1.png" && echo "saved $out/$1.png"; }
# The bottom-right corner of the screen, where the popup grows.
shot_corner() {
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -gravity SouthEast -crop 320x280+0+0 +repage "$out/$1.png" &&
    echo "saved $out/$1.png"
}
poke() { sh_wine 20 'C:\SweepHarbor\shpoke.exe' "$@"; }
title='SweepHarbor v1.04'

sh_wine 60 'C:\SweepHarbor\swhclean.exe' --seed >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
first=$!
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
# The menu is still open: the first copy is ended from outside, so that the
# next start is a first copy again and not handed over to this one.
kill "$first" 2>/dev/null
wait "$first" 2>/dev/null
sleep 1

# The hijack shield on, then another program's change: the popup grows out
# of the corner (about 120 ms in it is still sliding), then stands.
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v ShieldHijack /t REG_SZ /d 1 /f >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
poke wait "$title" 30 || { echo "screenshots: the window did not come up again" >&2; exit 1; }
sleep 2
sh_wine 20 reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v 'Search Page' \
  /t REG_SZ /d 'http://search.example.com/' /f >/dev/null 2>&1
sleep 0.12
shot_corner popup-sliding
sleep 1
shot_corner popup
