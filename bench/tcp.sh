#!/usr/bin/env bash
# Records per second of `vxsend --tcp flood N` into one section of the viewer
# (tcp_records_per_s), against the bare receiver `vxreceive --tcp` in the same
# run (tcp_ratio), and the viewer window's answer time to WM_NULL during that
# flood (tcp_ui_p99_ms), under Wine.
# The viewer runs three times between bare runs (ROUNDS); the figures are the
# medians of the rounds.
# Usage: bash bench/tcp.sh [RECORDS] [PORT] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000000}
rounds=${3:-3}
port=${2:-$((20000 + $$ % 20000))}
root=$PWD
build=build/win-bench
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_BENCH=ON >/dev/null
cmake --build $build --target vxDebugger vxsend vxreceive tcpbench >/dev/null
source scripts/wine-env.sh $build
trap vx_wine_stop EXIT
winpath() {  # Wine sees the root folder as drive Z:
  local p
  p=$(readlink -f "$1")
  echo "Z:${p//\//\\}"
}
wine $build/bench/tcp/tcpbench.exe "$(winpath $build/vxDebugger.exe)" \
  "$(winpath $build/client/vxsend.exe)" "$(winpath $build/client/vxreceive.exe)" "$port" "$n" "$rounds" |
  tr -d '\r'
