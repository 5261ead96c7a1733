#!/usr/bin/env bash
# Builds the Windows programs and starts the viewer under Wine with a demo
# client feeding it. Without a display it runs under Xvfb and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BENCH=OFF >/dev/null
cmake --build build/win -j "$(nproc)" --target vxDebugger vxsend
headless=0; [ -z "${DISPLAY:-}" ] && headless=1
source scripts/wine-env.sh build/win
trap vx_wine_stop EXIT
bin=build/win
wine "$bin/vxDebugger.exe" &
viewer=$!
sleep 3
wine build/win/client/vxsend.exe demo || echo "vxsend: the demo did not reach the viewer"
if [ $headless -eq 1 ]; then
  sleep 2
  shot=$root/build/vxDebugger.png
  import -window root "$shot"
  echo "No display: the viewer ran under Xvfb; screenshot saved to $shot"
  kill $viewer 2>/dev/null || true
else
  echo "The viewer is running; close it from its File menu."
  wait $viewer || true
fi
