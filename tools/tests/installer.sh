#!/bin/bash
# The setup program and its uninstaller under Wine (the 64-bit twin of the
# shipped setup, in a fresh prefix): a silent install over an older
# version, which an older setup then leaves alone; the program started
# from its Start Menu shortcut's target; swhclean --list from the installed
# folder; an upgrade over the running copy that keeps the user's choices,
# custom plugins and cookie keep-list; silent uninstalls that keep the
# user's data or, with /REMOVEUSERDATA, end the program the finish page
# started and leave the prefix's files and registry as they were before the
# install.
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-build}
setup=$(ls "$B"/installer/SweepHarbor-*-setup-x64.exe 2>/dev/null | head -1)
[ -n "$setup" ] || { echo "installer test: no setup in $B/installer (make installer)"; exit 1; }
version=$(basename "$setup" | sed 's/SweepHarbor-\(.*\)-setup-x64.exe/\1/')
sh_wine_prefix "$B/wine/installer" fresh || exit 1
sh_xvfb_start || exit 1
sh_wine_start
trap 'sh_wine_stop; sh_xvfb_stop' EXIT

C=$WINEPREFIX/drive_c
dir="$C/Program Files/SweepHarbor"
win_dir='C:\Program Files\SweepHarbor'
menu="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/SweepHarbor"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\SweepHarbor'
failures=0
check() {  # check TEXT COMMAND...: one line per check, failures counted
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
reg_value() { sh_wine 20 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
swhclean() { sh_wine 60 "$win_dir\\swhclean.exe" "$@" 2>&1 | tr -d '\r'; }
# The prefix's files outside Wine's own folder and the temporary folders, and
# every registry key or Run value that names the program (the registry is
# written out when the server stops).
snapshot() {
  (cd "$C" && find . \( -path ./windows -o -path './users/*/Temp' -o -path './users/*/AppData/Local/Temp' -o -path ./shtools \) -prune \
    -o -print | sort) >"$1.files"
  sh_wine_stop
  sleep 1
  grep -ih 'sweepharbor' "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | grep -v '^"path"\|^"APP_DATA"' \
    | sed 's/ [0-9]*$//' | sort >"$1.reg"
  sh_wine_start
}
# The target a shortcut names: the local base path of its link information.
lnk_target() {
  python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", d, 0x14)[0]
at = 0x4C
if flags & 1:  # an ID list comes first
    at += 2 + struct.unpack_from("<H", d, at)[0]
if flags & 2:
    info_flags, = struct.unpack_from("<I", d, at + 8)
    if info_flags & 1:
        base = at + struct.unpack_from("<I", d, at + 0x10)[0]
        print(d[base:d.index(b"\0", base)].decode("latin-1"))
PY
}
not() { ! "$@"; }
wait_gone() {  # wait_gone PATH SECONDS
  local i
  for i in $(seq $((${2} * 10))); do [ -e "$1" ] || return 0; sleep 0.1; done
  return 1
}
work=$(mktemp -d)
trap 'sh_wine_stop; sh_xvfb_stop; rm -rf "$work"' EXIT

# Test tools live outside what the snapshots compare. The setup runs from
# C: too: the prefix has no drive for Linux paths, and a setup must open its
# own file to unpack.
mkdir -p "$C/shtools"
cp "$B/win/shpoke.exe" "$setup" "$C/shtools/"
setup="C:\\shtools\\$(basename "$setup")"
snapshot "$work/before"

echo "== silent install of an older version, then this one over it"
bash tools/make-installer.sh --test-version 1.03 "$C/shtools" >/dev/null || exit 1
check "the older setup /S ends with 0" sh_wine 180 'C:\shtools\SweepHarbor-1.03-setup-x64.exe' /S
check "the older version is registered" test "$(reg_value "$uninstall_key" DisplayVersion)" = "1.03"
check "setup /S ends with 0" sh_wine 180 "$setup" /S
for f in SweepHarbor.exe swhclean.exe License.txt Uninstall.exe Data/Splst.swh Data/Plglst.swh; do
  check "installed $f" test -f "$dir/$f"
done
check "path names the data folder" test "$(reg_value 'HKCU\SOFTWARE\SweepHarbor' path)" = "$win_dir\\Data"
check "uninstall entry's name" test "$(reg_value "$uninstall_key" DisplayName)" = "SweepHarbor"
check "uninstall entry's version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "uninstall entry's publisher" test "$(reg_value "$uninstall_key" Publisher)" = "Lumivale"
check "uninstall entry's icon" test "$(reg_value "$uninstall_key" DisplayIcon)" = "$win_dir\\SweepHarbor.exe,0"
check "uninstall entry's size" test "$(reg_value "$uninstall_key" EstimatedSize)" != "0x0"
check "uninstall entry's command" test "$(reg_value "$uninstall_key" UninstallString)" = "\"$win_dir\\Uninstall.exe\""
check "uninstaller's shortcut" test -f "$menu/Uninstall SweepHarbor.lnk"
target=$(lnk_target "$menu/SweepHarbor.lnk")
check "the program's shortcut names the installed program ($target)" test "$target" = "$win_dir\\SweepHarbor.exe"

listing=$(swhclean --list)
spots_version=$(sed -n 's/.*<CleaningSpots Version="\([0-9]*\)".*/\1/p' data/spotlist.xml)
check "swhclean --list reads the installed lists" grep -q "^Spot list version $spots_version," <<<"$listing"
check "the shipped spots are listed" grep -q '\[x\] Windows Temporary Files' <<<"$listing"
# A user the setup did not run for has no data folder setting.
sh_wine 20 reg delete 'HKCU\SOFTWARE\SweepHarbor' /v path /f >/dev/null 2>&1
check "without the setting the lists are found beside the programs" grep -q '^Spot list version' <<<"$(swhclean --list)"
check "and the setting names the data folder again" test "$(reg_value 'HKCU\SOFTWARE\SweepHarbor' path)" = "$win_dir\Data"

echo "== the user's choices, then an upgrade over the running program"
swhclean --unchoose 'Windows Temporary Files' >/dev/null
swhclean --choose 'Winamp' >/dev/null
cat >"$work/custom.xml" <<'XML'
<CustomPlugins><Plugin Name="My Tool Logs" ToBeCleaned="1"><FIND_DATA /><FILES><FILE Name="C:\MyTool\*.log" /></FILES></Plugin></CustomPlugins>
XML
"$B/native/swhpack" pack "$work/custom.xml" "$dir/Data/CutmPlg.swh"
printf 'COOKIE:USER@MAIL.EXAMPLE/\n' >"$dir/Data/Igckies.swh"
cp "$dir/Data/CutmPlg.swh" "$dir/Data/Igckies.swh" "$work/"
sh_wine 20 reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v SweepHarbor /t REG_SZ \
  /d "\"$win_dir\\SweepHarbor.exe\" :MIN:" /f >/dev/null 2>&1
(cd "$C" && "$WINE64" "$target" >/dev/null 2>&1) &
program=$!
check "the program started from the shortcut's target shows its window" \
  sh_wine 40 'C:\shtools\shpoke.exe' wait "SweepHarbor v$version" 30
check "the upgrade ends with 0" sh_wine 180 "$setup" /S
check "the upgrade ended the running program" timeout 20 tail --pid=$program -f /dev/null
listing=$(swhclean --list)
check "an unticked spot stays unticked" grep -q '\[ \] Windows Temporary Files' <<<"$listing"
check "a ticked plugin stays ticked" grep -q '\[x\] Winamp' <<<"$listing"
check "the custom plugin stays" grep -q 'My Tool Logs' <<<"$listing"
check "the custom plugin file is as it was" cmp -s "$work/CutmPlg.swh" "$dir/Data/CutmPlg.swh"
check "the cookie keep-list is as it was" cmp -s "$work/Igckies.swh" "$dir/Data/Igckies.swh"

echo "== an older setup leaves a newer installation alone"
sh_wine 180 'C:\shtools\SweepHarbor-1.03-setup-x64.exe' /S
check "the older setup /S ends with 2 (declined)" test $? = 2
check "the newer version stays registered" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "the choices are untouched" grep -q '\[x\] Winamp' <<<"$(swhclean --list)"

echo "== silent uninstall, keeping the user's data"
echo "the user's own notes" >"$dir/notes.txt"
sh_wine 60 "$win_dir\\Uninstall.exe" /S
check "the uninstaller removed itself" wait_gone "$dir/Uninstall.exe" 60
check "the Start Menu folder is gone" wait_gone "$menu" 20
sleep 1
snapshot "$work/kept"
check "the program files are gone" test ! -e "$dir/SweepHarbor.exe" -a ! -e "$dir/swhclean.exe" -a ! -e "$dir/Data/Splst.swh"
check "a file the setup did not install stays" test -f "$dir/notes.txt"
check "the custom plugins and the cookie keep-list stay" cmp -s "$work/CutmPlg.swh" "$dir/Data/CutmPlg.swh"
check "no other file changed" diff <(grep -v 'SweepHarbor' "$work/before.files") <(grep -v 'SweepHarbor' "$work/kept.files")
check "what stays in the program folder" diff <(grep 'Program Files/SweepHarbor' "$work/kept.files") - <<'LIST'
./Program Files/SweepHarbor
./Program Files/SweepHarbor/Data
./Program Files/SweepHarbor/Data/CutmPlg.swh
./Program Files/SweepHarbor/Data/Igckies.swh
./Program Files/SweepHarbor/notes.txt
LIST
check "only the settings key stays in the registry" diff "$work/kept.reg" - <<<'[Software\\SweepHarbor]'
rm -f "$dir/notes.txt"

echo "== install again through the pages, Finish starting the program; a silent uninstall that removes the user's data"
stitle="SweepHarbor $version Setup "  # Modern UI ends the title with a blank
poke() { sh_wine 40 'C:\\shtools\\shpoke.exe' "$@"; }
"$WINE64" "$setup" >/dev/null 2>&1 &
check "the setup shows its licence page" poke wait "$stitle" 30
poke post "$stitle" 0x111 1 0  # I Agree
sleep 1
poke post "$stitle" 0x111 1 0  # Install
for _ in $(seq 100); do [ -n "$(reg_value "$uninstall_key" DisplayVersion)" ] && break; sleep 0.3; done
sleep 1
poke post "$stitle" 0x111 1 0  # Next, to the finish page
sleep 1
poke post "$stitle" 0x111 1 0  # Finish, "Start SweepHarbor" ticked
check "Finish started the program" poke wait "SweepHarbor v$version" 30
check "the kept custom plugins are found again" grep -q 'My Tool Logs' <<<"$(swhclean --list)"
sh_wine 60 "$win_dir\\Uninstall.exe" /S /REMOVEUSERDATA
check "the uninstaller removed itself" wait_gone "$dir/Uninstall.exe" 60
check "the program folder is gone" wait_gone "$dir" 20
check "the uninstaller ended the running program" not poke wait "SweepHarbor v$version" 1
sleep 1
snapshot "$work/removed"
check "the files are as before the install" diff "$work/before.files" "$work/removed.files"
check "the registry is as before the install" diff "$work/before.reg" "$work/removed.reg"

echo "installer test: $failures failed"
[ "$failures" = 0 ]
