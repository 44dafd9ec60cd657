#!/bin/bash
# A real end of the Windows session in the middle of the user's own run:
# every `wineboot -e` is refused until the run and the shutdown run that
# follows it have cleaned every chosen row; only then does the
# after-cleaning action come. The program's test hook writes that action
# into a file instead of ending the Wine session. Runs in the Wine suite's
# prefix after the suite (WINEPREFIX, DISPLAY and the wineserver are set up
# by tools/run-tests.sh).
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
: "${WINEPREFIX:?run through tools/run-tests.sh}"

root="$WINEPREFIX/drive_c/shrunend"
record="$root/session.txt"
rm -rf "$root"
mkdir -p "$root/data" "$root/many" "$root/few"
# 3,000 files at 10 ms each: the user's run takes half a minute.
(cd "$root/many" && seq -f 'f%g.tmp' 1 3000 | xargs touch)
touch "$root/few/a.log" "$root/few/b.log" "$root/few/keep.txt"
cat >"$root/data/spots.xml" <<'XML'
<CleaningSpots Version="1"><Group name="G" GroupType="0">
<Spot name="Many" ToBeCleaned="1"><Items><Item Type="0" name="C:\shrunend\many" flags="*.tmp" /></Items></Spot>
<Spot name="Few" ToBeCleaned="1"><Items><Item Type="0" name="C:\shrunend\few" flags="*.log" /></Items></Spot>
</Group></CleaningSpots>
XML
"$B/native/swhpack" pack "$root/data/spots.xml" "$root/data/Splst.swh" || exit 1

reg() { sh_wine 30 reg add 'HKCU\SOFTWARE\SweepHarbor' /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
reg path 'C:\shrunend\data'
reg CleanShutdown 1
reg ShutDownOptions 3
for s in ShieldHijack ShieldFavorites ShieldHomePage; do reg "$s" 0; done
left() { find "$root/many" "$root/few" -name '*.tmp' -o -name '*.log' | wc -l; }

SWEEPHARBOR_TEST_SESSION_RECORD='C:\shrunend\session.txt' "$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
pid=$!
status=0
fail() { echo "FAIL: $*"; status=1; }

SH_SESSION_FOLDER='C:\shrunend\many' sh_wine 90 'C:\SweepHarbor\sh_tests.exe' --gtest_color=no \
  --gtest_also_run_disabled_tests --gtest_filter=EndOfSessionScript.DISABLED_StartTheUsersRun >"$root/driver.log" 2>&1 \
  || { fail "the user's run did not start"; tail -20 "$root/driver.log"; }

for ask in 1 2; do
  timeout 60 "$WINE64" wineboot -e >/dev/null 2>&1
  answer=$?
  n=$(left)
  echo "wineboot -e during the run ($n files left): $answer"
  [ "$answer" != 0 ] || fail "request $ask was allowed during the run"
  [ "$n" -gt 100 ] || fail "request $ask did not come during the run ($n files left)"
  [ ! -s "$record" ] || fail "the after-cleaning action came with $n files left: $(cat "$record")"
  kill -0 "$pid" 2>/dev/null || { fail "SweepHarbor ended during the run"; break; }
done

for _ in $(seq 1 900); do [ -s "$record" ] && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
n=$(left)
if [ -s "$record" ]; then
  [ "$n" = 0 ] || fail "the after-cleaning action came with $n files left"
  [ "$(tr -d '\r' <"$record")" = dialog ] || fail "action recorded: $(cat "$record"), expected the shut-down dialog once"
else
  fail "no after-cleaning action ($n files left)"
fi
[ -e "$root/few/keep.txt" ] || fail "a file outside the masks was deleted"

timeout 60 "$WINE64" wineboot -e >/dev/null 2>&1
last=$?
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "the request after the action did not end SweepHarbor ($last)"; kill "$pid"; fi
reg path 'C:\SweepHarbor'
reg CleanShutdown 0
reg ShutDownOptions 0
exit $status
