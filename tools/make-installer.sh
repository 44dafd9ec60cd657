#!/bin/bash
# Builds the setup programs with makensis into $B/installer:
#   SweepHarbor-<version>-setup.exe      32-bit, with the shipped programs
#   SweepHarbor-<version>-setup-x64.exe  64-bit, with the build the tests run
# The version is the program's version resource's ProductVersion.
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SH_BUILD_ROOT:-build}
rc=src/res/SweepHarbor.rc
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$rc")
fileversion=$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' "$rc")
[ -n "$version" ] && [ -n "$fileversion" ] || { echo "installer: no version in $rc" >&2; exit 1; }
command -v makensis >/dev/null || { echo "installer: makensis is missing (make deps installs it)" >&2; exit 1; }
out=$(realpath -m "$B/installer")
mkdir -p "$out"
for build in "x86-unicode win32 setup" "amd64-unicode win setup-x64"; do
  set -- $build
  programs=$(realpath "$B/$2")
  for f in SweepHarbor.exe swhclean.exe data/Splst.swh data/Plglst.swh res-gen/app.ico; do
    [ -f "$programs/$f" ] || { echo "installer: $programs/$f is missing (make windows builds it)" >&2; exit 1; }
  done
  target=$out/SweepHarbor-$version-$3.exe
  makensis -V2 -NOCD -DTARGET="$1" -DPROGRAMS="$programs" -DVERSION="$version" -DFILEVERSION="$fileversion" \
    -DICON="$programs/res-gen/app.ico" -DLICENSE="$(realpath LICENSE.txt)" -DOUTFILE="$target" \
    tools/installer/SweepHarbor.nsi
  echo "installer: $target"
done
