#!/bin/bash
# Every Windows program of both builds imports only DLL functions that
# Windows XP SP3 has (tools/xp-imports.txt), then the checker's self-test:
# it must fail, naming the function, when an import is left off the list.
set -uo pipefail
cd "$(dirname "$0")/../.."
B=${SH_BUILD_ROOT:-${B:-build}}
exes=()
for build in win win32; do
  for program in SweepHarbor.exe swhclean.exe; do
    [ -f "$B/$build/$program" ] || { echo "FAIL: $B/$build/$program was not built"; exit 1; }
  done
  exes+=("$B/$build"/*.exe)
done
python3 tools/check-imports.py --self-test tools/xp-imports.txt "${exes[@]}"
