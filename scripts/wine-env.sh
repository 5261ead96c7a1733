#!/usr/bin/env bash
# Sourced by the run and test scripts: a display (Xvfb when there is none),
# a Wine prefix inside the build tree and a wineserver that stays up.
# Usage: source scripts/wine-env.sh BUILD_DIR
vx_build=${1:?build folder}
export WINEPREFIX=${WINEPREFIX:-$(cd "$vx_build" && pwd)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64

# An Xvfb started for this build folder before (by a shell that did not stop
# it) is used again rather than starting one more.
vx_display_file="$vx_build/.xvfb-display"
if [ -z "${DISPLAY:-}" ] && [ -f "$vx_display_file" ]; then
  read -r vx_n vx_pid < "$vx_display_file" || true
  if [ -n "${vx_pid:-}" ] && kill -0 "$vx_pid" 2>/dev/null && [ -e /tmp/.X11-unix/X$vx_n ]; then
    export DISPLAY=:$vx_n
  fi
fi
if [ -z "${DISPLAY:-}" ]; then
  for vx_n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$vx_n ] || [ -e /tmp/.X$vx_n-lock ] && continue
    Xvfb :$vx_n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VX_XVFB_PID=$!
    echo "$vx_n $VX_XVFB_PID" > "$vx_display_file"
    export DISPLAY=:$vx_n
    break
  done
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X${DISPLAY#:} ] && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 300 wineboot -i >/dev/null 2>&1 || true
  # Xvfb has no window manager: let Wine draw the caption bars and frames itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
  # Unmanaged windows: without this every modal dialog takes about 2 s to close here.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
wineserver -p >/dev/null 2>&1 || true
# Start Wine's own services (services.exe, the desktop) now, away from any
# test runner's pipes: started by the first test instead, they would inherit
# its output pipe and keep CTest waiting after the test has ended.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

vx_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${VX_XVFB_PID:-}" ] && kill "$VX_XVFB_PID" 2>/dev/null || true
}
