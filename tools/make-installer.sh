#!/bin/bash
# Builds the setup programs with makensis into $B/installer:
#   SweepHarbor-<version>-setup.exe      32-bit, with the shipped programs
#   SweepHarbor-<version>-setup-x64.exe  64-bit, with the build the tests run
# The version is the program's version resource's ProductVersion.
# The installer's test makes an older setup of the same programs with
#   make-installer.sh --test-version 1.03 DIR   (the 64-bit one only, into DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
B=${SH_BUILD_ROOT:-build}
rc=src/res/SweepHarbor.rc
version=$(sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$rc")
fileversion=$(sed -n 's/^ *FILEVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' "$rc")
builds=("x86-unicode win32 setup" "amd64-unicode win setup-x64")
out=$(realpath -m "$B/installer")
if [ "${1:-}" = --test-version ]; then
  version=$2
  fileversion="${version%%.*}.${version#*.}.0.0"
  builds=("amd64-unicode win setup-x64")
  out=$(realpath -m "$3")
fi
[ -n "$version" ] && [ -n "$fileversion" ] || { echo "installer: no version in $rc" >&2; exit 1; }
command -v makensis >/dev/null || { echo "installer: makensis is missing (make deps installs it)" >&2; exit 1; }
mkdir -p "$out"
for build in "${builds[@]}"; do
  set -- $build
  programs=$(realpath "$B/$2")
  for f in SweepHarbor.exe swhclean.exe data/Splst.swh data/Plglst.swh res-gen/app.ico res-gen/setup-side.bmp; do
    [ -f "$programs/$f" ] || { echo "installer: $programs/$f is missing (make windows builds it)" >&2; exit 1; }
  done
  target=$out/SweepHarbor-$version-$3.exe
  makensis -V2 -NOCD -DTARGET="$1" -DPROGRAMS="$programs" -DVERSION="$version" -DFILEVERSION="$fileversion" \
    -DICON="$programs/res-gen/app.ico" -DSIDE="$programs/res-gen/setup-side.bmp" -DLICENSE="$(realpath LICENSE.txt)" -DOUTFILE="$target" \
    tools/installer/SweepHarbor.nsi
  echo "installer: $target"
done
