#!/usr/bin/env bash
# Sections built as clients connect, under Wine: SECTIONS clients (default
# 20) connect one after another to a viewer that starts empty. Prints the
# median of the viewer's own build times (section_build_ms) and their longest,
# the median of the longest time the window took meanwhile to answer another
# process (section_connect_ui_ms, building and first painting), and the USER
# objects one section holds.
# Usage: bash bench/connect.sh [SECTIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build/win-bench
[ -f $build/CMakeCache.txt ] || cmake -S . -B $build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_BENCH=ON >/dev/null
cmake --build $build --target vxDebugger connectbench >/dev/null
source scripts/wine-env.sh $build
trap vx_wine_stop EXIT
wine $build/bench/connect/connectbench.exe "$@" | tr -d '\r'
