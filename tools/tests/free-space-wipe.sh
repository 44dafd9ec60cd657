#!/bin/bash
# The free-space wipe on a 16 MB tmpfs mapped as the fixed drive X: of the
# Wine suite's prefix (after the suite), the only drive SWEEPHARBOR_TEST_WIPE_DRIVES
# lets it reach (C: is the host's disk). Mounting needs root, as CI has.
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
: "${WINEPREFIX:?run through tools/run-tests.sh}"

mnt=$(mktemp -d /tmp/sh-freespace.XXXXXX)
# A new server; its services hold the output of the program that starts them.
restart() { sh_wine_stop && sh_wine_start && sh_wine 30 reg query 'HKLM\Software\Wine\Drives' >/dev/null 2>&1; }
undo() {
  rm -f "$WINEPREFIX/dosdevices/x:"
  sh_wine 30 reg delete 'HKLM\Software\Wine\Drives' /v x: /f >/dev/null 2>&1
  umount "$mnt" 2>/dev/null || umount -l "$mnt"
  rmdir "$mnt"
  restart  # the scripts after this one find no X:
}
trap undo EXIT
mount -t tmpfs -o size=16m tmpfs "$mnt" || { echo "FAIL: cannot mount a tmpfs (root is needed)"; exit 1; }
ln -sfn "$mnt" "$WINEPREFIX/dosdevices/x:"
# "hd": GetDriveType says fixed, as the wipe asks. Wine's mount manager reads
# the drives when it starts: the prefix's server starts again to have it.
sh_wine 30 reg add 'HKLM\Software\Wine\Drives' /v x: /t REG_SZ /d hd /f >/dev/null 2>&1
restart
export SWEEPHARBOR_TEST_WIPE_DRIVES=X:
status=0
fail() { echo "FAIL: $*"; status=1; }
avail() { df -B1 --output=avail "$mnt" | tail -1 | tr -d ' '; }
swhclean() { sh_wine 120 'C:\SweepHarbor\swhclean.exe' "$@" --demo 'C:\shfreespace' 2>&1 | tr -d '\r'; }
# The console's row: drives, size, status.
row() { printf '%-38s %10s %16s  %s' 'Free space on fixed drives' "$@"; }
mb() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1048576 }'; }

# The mount manager starts in the background (about 2 s). A preview changes
# nothing; its last row counts X: alone, with X:'s free space, and no drive
# at all under the project's default "none".
want=$(row 1 "$(mb "$(avail)")" 'Would clean')
for _ in $(seq 1 60); do
  got=$(swhclean --preview --free-space | grep '^Free space on fixed drives')
  [ "$got" = "$want" ] && break
  sleep 0.5
done
[ "$got" = "$want" ] || fail "the preview's row: $got"
got=$(SWEEPHARBOR_TEST_WIPE_DRIVES=none swhclean --preview --free-space | grep '^Free space on fixed drives')
[ "$got" = "$(row 0 '0 bytes' 'Would clean')" ] || fail "the preview's row with none: $got"

# At start a killed wipe's fill file goes, with its folder; a user's file
# of that name elsewhere stays.
mkdir -p "$mnt/SweepHarbor.freespace" "$mnt/kept"
head -c 3M /dev/zero | tee "$mnt/kept/wipe00000.tmp" >"$mnt/SweepHarbor.freespace/wipe00000.tmp"
swhclean --list >/dev/null
[ ! -e "$mnt/SweepHarbor.freespace" ] && [ -s "$mnt/kept/wipe00000.tmp" ] || fail "the sweep: $(find "$mnt")"

# The clean: the wipe says done only when X: read full before the files
# went; then X: is as free as before.
before=$(avail)
got=$(swhclean --clean --free-space --verbose | grep -E '^    wipe free space|^Free space on fixed drives')
[ "$got" = "$(printf '    wipe free space X:\\\n%s' "$(row 1 "$(mb "$before")" Cleaned)")" ] || fail "the clean: $got"
[ "$(avail)" -ge $((before - 8192)) ] && [ ! -e "$mnt/SweepHarbor.freespace" ] ||
  fail "X: is not as it was: $(avail) bytes free, $before before"
exit $status
