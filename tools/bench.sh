#!/bin/bash
# Runs every benchmark under Wine in the project's bench prefix.
#
# The wineserver and the programs share one CPU (SH_BENCH_CPU, default 0;
# "none" lets them float). Every file and registry call is a round trip to
# the wineserver; on these virtual machines a round trip between two idle
# CPUs costs about 35 us against 4 us on one CPU (measured with a pipe ping
# pong), and which one a call gets depends on what else runs. On one CPU the
# figures show the program's own work rather than the machine's wake-ups.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
pin=()
cpu=${SH_BENCH_CPU:-0}
if [ "$cpu" != none ] && command -v taskset >/dev/null; then
  pin=(taskset -c "$cpu")
fi
sh_wine_prefix "$B/wine/bench" || exit 1
# The prefix set-up may have left a server running: the run's own one must
# start on the chosen CPU, since the programs' affinity does not reach it.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
"${pin[@]}" "$WINESERVER" -p >/dev/null 2>&1 || true
# The start-up bench opens windows: a display of the run's own (the prefix
# already has Managed=N, see sh_wine_prefix).
sh_xvfb_start || exit 1
trap 'sh_wine_stop; sh_xvfb_stop' EXIT
sh_install_into_prefix "$B/win"
status=0
for exe in "$B"/win/*_bench.exe; do
  name=$(basename "$exe")
  echo "== $name"
  "${pin[@]}" timeout --kill-after=5 1800 "$WINE64" "C:\\SweepHarbor\\$name" | tr -d '\r' || status=1
done
exit $status
