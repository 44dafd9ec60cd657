#!/bin/bash
# Pictures of the real window under Xvfb: the home screen, the Clean list
# after a run, the tray menu, the shields' popup sliding in and standing
# when another program changes the browser's search page, the control
# panel's three pages, the Choose Items page's four tabs, Manage Cookies
# and the update dialog. PNG files in
# $B/screenshots.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh
B=${SH_BUILD_ROOT:-${B:-build}}
out=$B/screenshots
mkdir -p "$out"
sh_wine_prefix "$B/wine/shots" fresh || exit 1
sh_install_into_prefix "$B/win"
sh_xvfb_start || exit 1
sh_wine_start
trap 'sh_wine_stop; sh_xvfb_stop' EXIT

shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "$out/$1.png" && echo "saved $out/$1.png"; }
# The bottom-right corner of the screen, where the popup grows.
shot_corner() {
  xwd -root -silent -display "$DISPLAY" | convert xwd:- -gravity SouthEast -crop 320x280+0+0 +repage "$out/$1.png" &&
    echo "saved $out/$1.png"
}
poke() { sh_wine 20 'C:\SweepHarbor\shpoke.exe' "$@"; }
title='SweepHarbor v1.04'

sh_wine 60 'C:\SweepHarbor\swhclean.exe' --seed >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
first=$!
poke wait "$title" 30 || { echo "screenshots: the window did not come up" >&2; exit 1; }
sleep 1
shot home
poke post "$title" 0x111 32773 0      # tray menu "Start Cleaning": the Clean list
sleep 1
poke click "$title" "Start Cleaning"
sleep 1
# Wait for the run to end (the button reads "Abort" meanwhile).
for _ in $(seq 1 240); do poke has "$title" "Abort" >/dev/null 2>&1 || break; sleep 0.5; done
sleep 1
shot cleanlist
poke post "$title" 0x111 1056 0       # to the tray
sleep 1
poke post "$title" 0x87D4 202 0x205   # right button up on the icon: the menu
sleep 1
shot traymenu
# The menu is still open: the first copy is ended from outside, so that the
# next start is a first copy again and not handed over to this one.
kill "$first" 2>/dev/null
wait "$first" 2>/dev/null
sleep 1

# The hijack shield on, then another program's change: the popup grows out
# of the corner (about 120 ms in it is still sliding), then stands.
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v ShieldHijack /t REG_SZ /d 1 /f >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
second=$!
poke wait "$title" 30 || { echo "screenshots: the window did not come up again" >&2; exit 1; }
sleep 2
sh_wine 20 reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v 'Search Page' \
  /t REG_SZ /d 'http://search.example.com/' /f >/dev/null 2>&1
sleep 0.12
shot_corner popup-sliding
sleep 1
shot_corner popup
kill "$second" 2>/dev/null
wait "$second" 2>/dev/null
sleep 1

# The control panel's three pages, and the update dialog while it waits
# (its check goes to the maker's site, which this prefix does not reach).
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v Shred /t REG_SZ /d 1 /f >/dev/null 2>&1
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v ShredMethod /t REG_SZ /d 2 /f >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
third=$!
poke wait "$title" 30 || { echo "screenshots: the window did not come up a third time" >&2; exit 1; }
sleep 1
poke post "$title" 0x111 32774 0      # tray menu "Control Panel"
sleep 1
shot controlpanel-settings
poke press "$title" "Schedule"
sleep 1
shot controlpanel-schedule
poke post "$title" 0x111 32778 0      # tray menu "Configure Shields"
sleep 1
shot controlpanel-shield
kill "$third" 2>/dev/null
wait "$third" 2>/dev/null
sleep 1

# The Choose Items page's four tabs and Manage Cookies, with the cookies the
# seeding left and one of them kept by the ignore file.
printf 'Cookie:user@shop.example.net/\r\r\n' >"$WINEPREFIX/drive_c/SweepHarbor/Igckies.swh"
# Two plugins' applications present (their keys), and a custom plugin.
sh_wine 20 reg add 'HKCU\Software\WinRAR' /f >/dev/null 2>&1
sh_wine 20 reg add 'HKCU\Software\7-Zip' /f >/dev/null 2>&1
if [ -x "$B/native/swhpack" ]; then
  custom=$(mktemp)
  printf '<CustomPlugins><Plugin Name="Project Drafts" ToBeCleaned="1"><FOLDERS><FOLDER Name="C:\\Drafts" /></FOLDERS></Plugin></CustomPlugins>' >"$custom"
  "$B/native/swhpack" pack "$custom" "$WINEPREFIX/drive_c/SweepHarbor/CutmPlg.swh" >/dev/null
  rm -f "$custom"
fi
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
items=$!
poke wait "$title" 30 || { echo "screenshots: the window did not come up for Choose Items" >&2; exit 1; }
sleep 1
poke post "$title" 0x111 32775 0      # tray menu "Choose Items"
sleep 1
shot chooseitems-windows
for tab in Browsers Messaging Plugins; do
  poke press "$title" "$tab"
  sleep 1
  shot "chooseitems-$(echo "$tab" | tr 'A-Z' 'a-z')"
done
poke post "$title" 0x111 32776 0      # tray menu "Manage Cookies"
sleep 1
shot cookies
kill "$items" 2>/dev/null
wait "$items" 2>/dev/null
sleep 1

# The update dialog while it waits, from a start with "Automatically check"
# on (its check then goes to the maker's site, which this prefix does not
# reach). Here Wine shows dialogs and message boxes opened from the running
# window as black boxes on the X screen, though its own screen DC reads
# their pixels right; one opened at start-up is drawn, so it is shot there.
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v AutoUpdate /t REG_SZ /d 1 /f >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
fourth=$!
sleep 2.5
shot update
kill "$fourth" 2>/dev/null
wait "$fourth" 2>/dev/null

# Manage Plugins: the wizard's choice, then the items of the custom plugin
# laid down above (Modify), and the three add dialogs opened from it.
sh_wine 20 reg add 'HKCU\SOFTWARE\SweepHarbor' /v AutoUpdate /t REG_SZ /d 0 /f >/dev/null 2>&1
"$WINE64" 'C:\SweepHarbor\SweepHarbor.exe' >/dev/null 2>&1 &
wizard=$!
poke wait "$title" 30 || { echo "screenshots: the window did not come up for Manage Plugins" >&2; exit 1; }
sleep 1
poke post "$title" 0x111 32777 0      # tray menu "Manage Plugins"
sleep 1
shot plugins-step0
poke press "$title" "Modify Existing Plugin (check the option and select from list)"
sleep 0.5
poke sendto "$title" 1017 0x14E 0 0   # CB_SETCURSEL: the first plugin
poke click "$title" "Next >>"
sleep 1
shot plugins-step1
kill "$wizard" 2>/dev/null
wait "$wizard" 2>/dev/null
sleep 1

# The three add dialogs. Opened from the running window Wine shows them as
# black boxes on the X screen, so a test harness shows each on its own
# (with items and a selection) until it is told the picture was taken.
"$WINE64" 'C:\SweepHarbor\sh_tests.exe' --gtest_also_run_disabled_tests \
  --gtest_filter='PluginWizardShots.*' >/dev/null 2>&1 &
dialogs=$!
for dialog in "Add Folders to plugin|plugins-add-folders" "Add Files|plugins-add-files" \
              "Add Registry Keys|plugins-add-registry"; do
  IFS='|' read -r dtitle name <<<"$dialog"
  poke wait "$dtitle" 30 || { echo "screenshots: $dtitle did not open" >&2; break; }
  sleep 1
  shot "$name"
  poke post "$dtitle" 0x8077 0 0      # the harness's "picture taken"
done
sleep 1
kill "$dialogs" 2>/dev/null          # it waits for pictures with no time limit
wait "$dialogs" 2>/dev/null

# The setup program's pages (its 64-bit twin: this machine runs no 32-bit
# code), Next pressed through them; the install goes into the prefix. Then
# the uninstaller's confirmation. A setup must run from C: (no drive here
# for Linux paths).
setup=$(ls "$B"/installer/SweepHarbor-*-setup-x64.exe 2>/dev/null | head -1)
if [ -n "$setup" ]; then
  cp "$setup" "$WINEPREFIX/drive_c/"
  version=$(basename "$setup" | sed 's/SweepHarbor-\(.*\)-setup-x64.exe/\1/')
  # Modern UI ends every page's title with a blank (its empty subcaption).
  stitle="SweepHarbor $version Setup "
  utitle="SweepHarbor $version Uninstall "
  "$WINE64" "C:\\$(basename "$setup")" >/dev/null 2>&1 &
  installer=$!
  if poke wait "$stitle" 30; then
    sleep 1
    shot setup-licence
    for page in folder progress finish; do
      poke post "$stitle" 0x111 1 0     # Next (I Agree, Install)
      sleep 3
      shot "setup-$page"
    done
    # Unticks "Start SweepHarbor" first: only the pictures are wanted.
    poke sendto "$stitle" 1203 0xF1 0 0 >/dev/null 2>&1
    poke post "$stitle" 0x111 1 0
  else
    echo "screenshots: the setup did not come up" >&2
  fi
  wait "$installer" 2>/dev/null
  "$WINE64" 'C:\Program Files\SweepHarbor\Uninstall.exe' >/dev/null 2>&1 &
  if poke wait "$utitle" 30; then
    sleep 1
    shot uninstall-confirm
    poke post "$utitle" 0x111 2 0   # Cancel
  fi
  sleep 2
fi
