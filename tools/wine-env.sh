# Sourced by the scripts that run Windows programs under Wine.
# Every prefix the project makes is cut off from the host: no Z: drive, real
# folders instead of the links into the Linux home, a scratch XDG_DATA_HOME
# (the recycle bin is the host's trash otherwise), no menu entries.
WINE64=${WINE64:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# A prefix's C: is the host's own disk: the free-space wipe reaches no drive
# under the project's Wine runs unless a test names its own small drive here
# (tools/tests/free-space-wipe.sh).
export SWEEPHARBOR_TEST_WIPE_DRIVES=${SWEEPHARBOR_TEST_WIPE_DRIVES:-none}
export WINEARCH=win64

_sh_cut_off_prefix() {
  local pfx=$1
  rm -f "$pfx/dosdevices/z:"
  local users="$pfx/drive_c/users"
  [ -d "$users" ] || return 0
  local link
  # At any depth: AppData\Roaming\Microsoft\Windows\Templates is a link
  # to the Linux home as well.
  while IFS= read -r -d '' link; do
    rm -f "$link"
    mkdir -p "$link"
  done < <(find "$users" -type l -print0)
}

# sh_wine_prefix DIR [fresh]: points WINEPREFIX at DIR, creating it when
# missing (or always with "fresh"), and cuts it off from the host.
sh_wine_prefix() {
  local pfx
  pfx=$(realpath -m "$1")
  export WINEPREFIX=$pfx
  export XDG_DATA_HOME=$pfx.xdg
  export XDG_CONFIG_HOME=$pfx.xdg/config
  export XDG_CACHE_HOME=$pfx.xdg/cache
  mkdir -p "$XDG_DATA_HOME/Trash" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
  if [ "${2:-}" = fresh ]; then
    "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$pfx"
  fi
  if [ ! -f "$pfx/system.reg" ]; then
    mkdir -p "$(dirname "$pfx")"
    timeout --kill-after=10 180 "$WINE64" wineboot -i >/dev/null 2>&1 || true
    timeout --kill-after=10 60 "$WINESERVER" -w 2>/dev/null || true
    [ -f "$pfx/system.reg" ] || { echo "wine: could not create prefix $pfx" >&2; return 1; }
  fi
  _sh_cut_off_prefix "$pfx"
  # No window manager under Xvfb: hiding a window costs 2 s unless Wine
  # manages none of them.
  timeout --kill-after=5 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  _sh_cut_off_prefix "$pfx"
}

# A persistent wineserver for the run, stopped by sh_wine_stop.
sh_wine_start() {
  "$WINESERVER" -p >/dev/null 2>&1 || true
}

sh_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1 || true
}

# sh_wine SECONDS program args...: runs under Wine with a time-out.
sh_wine() {
  local t=$1
  shift
  timeout --kill-after=5 "$t" "$WINE64" "$@"
}

# Xvfb for the programs that need a display; sets DISPLAY.
sh_xvfb_start() {
  # Xvfb picks a free display itself, so runs side by side never share one.
  local fifo
  fifo=$(mktemp -u /tmp/sh-xvfb.XXXXXX)
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  SH_XVFB_PID=$!
  local n=""
  read -r -t 20 n <"$fifo"
  rm -f "$fifo"
  if [ -z "$n" ]; then
    kill "$SH_XVFB_PID" 2>/dev/null
    echo "xvfb: could not start" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

sh_xvfb_stop() {
  [ -n "${SH_XVFB_PID:-}" ] && kill "$SH_XVFB_PID" 2>/dev/null || true
  SH_XVFB_PID=
}

# sh_install_into_prefix BUILD_WIN: copies the programs and the data folder
# to C:\SweepHarbor in the current prefix.
sh_install_into_prefix() {
  local dst="$WINEPREFIX/drive_c/SweepHarbor"
  mkdir -p "$dst"
  cp -f "$1"/*.exe "$dst"/
  [ -d "$1/data" ] && cp -f "$1"/data/* "$dst"/ 2>/dev/null || true
}

# sh_web_start DIR: serves DIR on 127.0.0.1 (a free port) for the update
# tests and exports its address as SH_TEST_UPDATE_SERVER ("http://...:N/").
# Only this loopback server: proxies are bypassed for it.
sh_web_start() {
  local log
  log=$(mktemp)
  python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$1" >"$log" 2>&1 &
  SH_WEB_PID=$!
  local port="" i
  for i in $(seq 100); do
    port=$(sed -n 's/.*port \([0-9][0-9]*\).*/\1/p' "$log" | head -1)
    [ -n "$port" ] && break
    sleep 0.05
  done
  rm -f "$log"
  if [ -z "$port" ]; then
    sh_web_stop
    echo "the test web server did not start" >&2
    return 1
  fi
  export SH_TEST_UPDATE_SERVER="http://127.0.0.1:$port/"
  export no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost
}

sh_web_stop() {
  [ -n "${SH_WEB_PID:-}" ] && kill "$SH_WEB_PID" 2>/dev/null && wait "$SH_WEB_PID" 2>/dev/null
  SH_WEB_PID=""
}
