#!/usr/bin/env bash
# OutputDebugString lines per second from four sending processes into the
# viewer against a bare reader of the buffer in the same run (ods_ratio), and
# the viewer window's answer time to WM_NULL during that flood (ods_ui_p99_ms).
# With VX_ODS_SLOWEST=1 the twenty slowest answers are listed on stderr with
# the time into the flood (and the round) they were asked at.
# With VX_ODS_NOBUILD=1 the programs in the build tree are run as they are,
# so that two builds' viewers copied there in turn compare side by side.
# Each sender writes 10,000 lines unless told (LINES_PER_SENDER): a shorter
# flood measures mostly the four sections being made at its start. The viewer
# runs three times between bare runs (ROUNDS); the figures are the medians of
# the rounds.
# Usage: [VX_ODS_SLOWEST=1] [VX_ODS_NOBUILD=1] bash bench/ods.sh [LINES_PER_SENDER] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-10000}
rounds=${2:-3}
root=$PWD
build=build/win-bench
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_BENCH=ON >/dev/null
[ -n "${VX_ODS_NOBUILD:-}" ] || cmake --build $build --target vxDebugger vxsend odsreceive odsbench >/dev/null
source scripts/wine-env.sh $build
trap vx_wine_stop EXIT
winpath() {  # Wine sees the root folder as drive Z:
  local p
  p=$(readlink -f "$1")
  echo "Z:${p//\//\\}"
}
wine $build/bench/ods/odsbench.exe "$(winpath $build/vxDebugger.exe)" \
  "$(winpath $build/client/vxsend.exe)" "$(winpath $build/bench/ods/odsreceive.exe)" "$n" "$rounds" | tr -d '\r'
