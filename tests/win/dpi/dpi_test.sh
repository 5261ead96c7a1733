#!/usr/bin/env bash
# Runs the viewer at 96, 144 and 192 pixels per inch and photographs it.
# Usage: dpi_test.sh TEST_PROGRAM OUTPUT_FOLDER
#
# Each pixels-per-inch value is set as HKCU\Control Panel\Desktop LogPixels
# in a Wine prefix of this test's own (a hard-linked copy of the build's
# prefix, with registry files of its own), on an Xvfb of its own big enough
# for the window at 192. Under Wine 8 a new process reads LogPixels for the
# system's pixels per inch, but the monitor's (what GetDpiForWindow gives a
# per-monitor aware window) is fixed when the prefix's desktop starts: each
# value needs a wineserver of its own (about 4 s here). The test program
# checks the layout from outside; at each "ready" file it leaves, the screen
# is saved as a PNG.
set -euo pipefail
program=${1:?test program}
out=${2:?output folder}
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "dpi_test: WINEPREFIX must name a Wine prefix (run the tests through scripts/test.sh)" >&2
  exit 2
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# The prefix: files shared with the build's prefix by hard links, except the
# registry, which this test changes (wineserver replaces those files whole).
prefix=$out/wineprefix-dpi
if [ ! -f "$prefix/system.reg" ]; then
  rm -rf "$prefix"
  cp -al "$WINEPREFIX" "$prefix"
  for f in system.reg user.reg userdef.reg; do
    [ -f "$WINEPREFIX/$f" ] && cp --remove-destination "$WINEPREFIX/$f" "$prefix/$f"
  done
fi
export WINEPREFIX=$prefix

display=
for n in $(seq 130 160); do
  [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
  Xvfb :$n -screen 0 1680x1280x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  display=:$n
  break
done
[ -n "$display" ] || { echo "dpi_test: no free display" >&2; exit 2; }
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X${display#:} ] && break; sleep 0.1; done
export DISPLAY=$display
stop() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
# LogPixels for the prefix, then a new wineserver and desktop that read it.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  # Started away from CTest's pipes (see scripts/wine-env.sh).
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

exchange=$out/exchange
winexchange="Z:${exchange//\//\\}"
status=0
base_rows=0
for dpi in 96 144 192; do
  rm -rf "$exchange" && mkdir -p "$exchange"
  set_dpi $dpi
  echo "--- $dpi pixels per inch"
  VX_DPI=$dpi VX_DPI_BASE_ROWS=$base_rows VX_DPI_EXCHANGE=$winexchange \
    wine "$program" --gtest_brief=1 </dev/null &
  run=$!
  while kill -0 $run 2>/dev/null; do
    for ready in "$exchange"/shot-*.ready; do
      [ -e "$ready" ] || continue
      name=$(basename "$ready" .ready)
      shot=$out/dpi-${name#shot-}.png
      import -display "$display" -window root "$shot"
      echo "screenshot: $shot"
      mv "$ready" "$exchange/$name.done"
    done
    sleep 0.2
  done
  wait $run || status=1
  if [ $dpi = 96 ] && [ -f "$exchange/rows-96.txt" ]; then
    base_rows=$(cat "$exchange/rows-96.txt")
  fi
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
  </dev/null >/dev/null 2>&1
exit $status
