#!/usr/bin/env bash
# A long day: a million records over fifty sections (five rounds of ten
# clients, one of them connecting and disconnecting in bursts to 100,000
# rows), each round's big list exported as CSV through the export commands,
# and every section disconnected and deleted before the next round. The
# viewer's resident size, USER and GDI objects and handles are read once a
# small warm-up round is gone (the *_start figures) and after the last round
# (the *_end figures); the viewer answers them itself (a registered message),
# since USER and GDI objects cannot be counted from another process under Wine.
# Usage: bash bench/soak.sh [ROUNDS] [BIG_ROWS] [SMALL_ROWS] [HISTORY_LIMIT]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build/win-bench
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_BENCH=ON >/dev/null
cmake --build $build --target vxDebugger vxsend vxsoak >/dev/null
source scripts/wine-env.sh $build
trap vx_wine_stop EXIT
wine $build/bench/soak/vxsoak.exe "$@" | tr -d '\r'
