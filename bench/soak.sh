#!/usr/bin/env bash
# A long day: a million records over fifty sections (five rounds of ten
# clients, one of them connecting and disconnecting in bursts to 100,000
# rows), each round's big list exported as CSV through the export commands,
# and every section disconnected and deleted before the next round. The
# viewer's resident size, USER and GDI objects and handles are read once a
# small warm-up round is gone (the *_start figures) and after the last round
# (the *_end figures); the viewer answers them itself (a registered message),
# since USER and GDI objects cannot be counted from another process under Wine
# (the resident size it answers is the VmRSS that Linux shows for its process).
# Handles held at the end and not at the start are listed on stderr with their
# type and name: under Wine 8 each use of the system's save dialog leaves one
# registry key (ComDlg32\LastVisitedMRU) open, so soak_handles_end grows by
# one for each round's export.
# HISTORY_LIMIT, when given, is written as the "Display" value HistoryLimit;
# a big section then holds what the limit leaves of its rows (it drops about
# 3% below the limit at once), and that is what its export must hold.
# soak_limited_sections counts the big sections that reached the limit. With
# a limit of 100,000 the day is still a million records, and each big list is
# still about 100,000 rows when it is exported:
#   bash bench/soak.sh 5 150000 5556 100000
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
