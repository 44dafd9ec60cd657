#!/bin/bash
# Starts SweepHarbor under Wine on the project's default prefix (never
# ~/.wine), with the shipped lists in its data folder. Without a display it
# says so and runs the console front end over the same prefix instead: it
# seeds traces, previews, then cleans (arguments go to swhclean as they are).
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
sh_wine_prefix "$B/wine/default" || exit 1
sh_install_into_prefix "$B/win"
trap 'sh_wine_stop' EXIT

have_display=0
if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null 2>&1 && xdpyinfo >/dev/null 2>&1; then
  have_display=1
elif [ -n "${DISPLAY:-}" ] && ! command -v xdpyinfo >/dev/null 2>&1; then
  have_display=1
fi

if [ "$have_display" = 1 ] && [ -f "$WINEPREFIX/drive_c/SweepHarbor/SweepHarbor.exe" ]; then
  echo "run: starting SweepHarbor on $DISPLAY (prefix $WINEPREFIX)"
  "$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' "$@"
  exit $?
fi

if [ "$have_display" = 0 ]; then
  echo "run: no display (DISPLAY is not set or not reachable): running the console front end instead."
fi
sh_wine_start
if [ "$#" -gt 0 ]; then
  sh_wine 600 'C:\SweepHarbor\swhclean.exe' "$@"
else
  # Traces first, so that the run has something to show; then what a clean
  # would do (nothing changes), then the clean itself.
  echo "run: swhclean --seed"
  sh_wine 120 'C:\SweepHarbor\swhclean.exe' --seed || exit $?
  echo "run: swhclean --preview"
  sh_wine 600 'C:\SweepHarbor\swhclean.exe' --preview || exit $?
  echo "run: swhclean --clean"
  sh_wine 600 'C:\SweepHarbor\swhclean.exe' --clean
fi
