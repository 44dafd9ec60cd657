#!/bin/bash
# Runs every benchmark under Wine in the project's bench prefix.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
sh_wine_prefix "$B/wine/bench" || exit 1
sh_wine_start
trap 'sh_wine_stop' EXIT
sh_install_into_prefix "$B/win"
status=0
for exe in "$B"/win/*_bench.exe; do
  name=$(basename "$exe")
  echo "== $name"
  sh_wine 900 "C:\\SweepHarbor\\$name" | tr -d '\r' || status=1
done
exit $status
