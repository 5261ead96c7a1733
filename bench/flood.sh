#!/usr/bin/env bash
# Records per second from `vxsend flood N` into the viewer, measured side by
# side with a bare receiver window that only takes the records (the ceiling of
# WM_COPYDATA under this Wine), once hidden and once shown on the screen as the
# viewer's is. Usage: bash bench/flood.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-20000}
root=$PWD
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVX_BENCH=OFF >/dev/null
cmake --build build/win --target vxDebugger vxsend vxreceive >/dev/null
source scripts/wine-env.sh build/win
trap vx_wine_stop EXIT

measure() {  # receiver command...
  "$@" &
  local pid=$!
  sleep 3
  wine build/win/client/vxsend.exe --client "flood" --app 'C:\Bench\Flood.exe' --caption Flood flood "$n"
  # The viewer asks before it exits; end every Windows process of the prefix instead.
  wineserver -k 2>/dev/null || true
  wait $pid 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 || true
}

echo "== bare receiver, hidden window"
measure wine build/win/client/vxreceive.exe "$((n + 1))"
echo "== bare receiver, window shown"
measure wine build/win/client/vxreceive.exe --show "$((n + 1))"
echo "== vxDebugger"
measure wine build/win/vxDebugger.exe
