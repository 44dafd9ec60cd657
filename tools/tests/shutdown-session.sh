#!/bin/bash
# Cleaning at the end of the Windows session, for real: SweepHarbor refuses
# the first WM_QUERYENDSESSION that `wineboot -e` sends, cleans, and allows
# the next one. Runs in the Wine suite's prefix after the suite (WINEPREFIX,
# DISPLAY and the wineserver are set up by tools/run-tests.sh).
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
: "${WINEPREFIX:?run through tools/run-tests.sh}"

c="$WINEPREFIX/drive_c"
data="$c/shsession/data"
junk="$c/shsession/junk"
rm -rf "$c/shsession"
mkdir -p "$data" "$junk"
touch "$junk/one.tmp" "$junk/two.tmp" "$junk/keep.txt"
cat >"$data/spots.xml" <<'XML'
<CleaningSpots Version="1"><Group name="G" GroupType="0"><Spot name="Junk" ToBeCleaned="1"><Items><Item Type="0" name="C:\shsession\junk" flags="*.tmp" /></Items></Spot></Group></CleaningSpots>
XML
"$B/native/swhpack" pack "$data/spots.xml" "$data/Splst.swh" || exit 1

reg() { sh_wine 30 reg add 'HKCU\SOFTWARE\SweepHarbor' /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
reg path 'C:\shsession\data'
reg CleanShutdown 1
reg ShutDownOptions 0

"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
pid=$!
sleep 4
kill -0 "$pid" 2>/dev/null || { echo "FAIL: SweepHarbor did not start"; exit 1; }

status=0
timeout 60 "$WINE64" wineboot -e >/dev/null 2>&1
first=$?
if [ "$first" = 0 ]; then echo "FAIL: the first end-of-session request was allowed"; status=1; fi
for _ in $(seq 1 100); do [ -e "$junk/one.tmp" ] || [ -e "$junk/two.tmp" ] || break; sleep 0.1; done
if [ -e "$junk/one.tmp" ] || [ -e "$junk/two.tmp" ]; then echo "FAIL: no cleaning after the refused request"; status=1; fi
[ -e "$junk/keep.txt" ] || { echo "FAIL: a file outside the mask was deleted"; status=1; }
kill -0 "$pid" 2>/dev/null || { echo "FAIL: SweepHarbor ended although it refused"; status=1; }

timeout 60 "$WINE64" wineboot -e >/dev/null 2>&1
second=$?
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "FAIL: the second request did not end SweepHarbor"; status=1; kill "$pid"; fi
echo "first wineboot -e: $first (refused), second: $second"
reg path 'C:\SweepHarbor'
reg CleanShutdown 0
exit $status
