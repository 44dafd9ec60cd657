#!/bin/bash
# Runs every suite: the portable core natively (with sanitizers), then the
# whole program's tests under Wine in a fresh prefix, under an Xvfb of our own.
# Ends with one line: "N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh

B=${SH_BUILD_ROOT:-${B:-build}}
# The scripts under tools/tests read the build folder from here too.
export SH_BUILD_ROOT=$B
logdir=$B/test-logs
mkdir -p "$logdir"
passed=0
failed=0
broken=0

# count_gtest LOG: adds a suite's figures; a suite that printed no summary
# (crash, time-out) counts as broken.
count_gtest() {
  local log=$1 p f
  p=$(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' | tail -1)
  f=$(tr -d '\r' <"$log" | sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' | tail -1)
  if [ -z "$p" ] && [ -z "$f" ]; then
    echo "!! $log: no summary (crashed or timed out)"
    broken=$((broken + 1))
    return
  fi
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
}

echo "== native suite (portable core, address and undefined-behaviour sanitizers)"
timeout --kill-after=10 900 $B/native/sh_tests --gtest_color=no >"$logdir/native.log" 2>&1
tr -d '\r' <"$logdir/native.log" | grep -E '^\[  (FAILED|PASSED) |Failure|ERROR|runtime error' | head -60
count_gtest "$logdir/native.log"

echo "== Wine suite (whole program, fresh prefix)"
sh_wine_prefix $B/wine/test fresh || { echo "0 passed, 1 failed"; exit 1; }
sh_xvfb_start || true
sh_wine_start
# The update folder: the tests write what it serves into C:\shfixture\updates.
mkdir -p "$WINEPREFIX/drive_c/shfixture/updates"
sh_web_start "$WINEPREFIX/drive_c/shfixture/updates" || true
trap 'sh_web_stop; sh_wine_stop; sh_xvfb_stop' EXIT
# The programs and the shipped lists are installed into the prefix, so the
# suite runs from C:\SweepHarbor as the program would, with no Linux path.
sh_install_into_prefix "$B/win"
# Links can only be made from the Linux side (see the folder walk's tests).
fx="$WINEPREFIX/drive_c/shfixture/links"
mkdir -p "$fx/target" "$fx/walk"
echo keep >"$fx/target/keep.txt"
echo junk >"$fx/walk/plain.tmp"
ln -sfn ../target "$fx/walk/link"
# A link to a file: Wine shows it as an ordinary file whose delete removes
# the target (the executor's tests).
fl="$WINEPREFIX/drive_c/shfixture/filelink"
mkdir -p "$fl/target" "$fl/walk"
echo keep >"$fl/target/keep.txt"
ln -sfn ../target/keep.txt "$fl/walk/link.txt"
sh_wine 900 'C:\SweepHarbor\sh_tests.exe' --gtest_color=no >"$logdir/wine.log" 2>&1
tr -d '\r' <"$logdir/wine.log" | grep -E '^\[  (FAILED|PASSED) |Failure|error:' | head -60
count_gtest "$logdir/wine.log"

for extra in tools/tests/*.sh; do
  [ -f "$extra" ] || continue
  echo "== $(basename "$extra")"
  if timeout --kill-after=10 600 bash "$extra" >"$logdir/$(basename "$extra").log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    tail -20 "$logdir/$(basename "$extra").log"
  fi
done

echo "Full logs: $logdir/"
[ "$broken" = 0 ] || failed=$((failed + broken))
echo "Tests: $passed passed, $failed failed"
[ "$failed" = 0 ]
