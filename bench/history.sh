#!/usr/bin/env bash
# The viewer's memory per row when one section holds 1,000,000 rows of
# 60-character texts: its resident size (as Linux sees the Wine process)
# started plain, and again started with a session file of those rows, less
# the text itself. Usage: bash bench/history.sh [ROWS]
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
len=60
root=$PWD
[ -f build/native/CMakeCache.txt ] || cmake -S . -B build/native -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native --target bench_sessionlog >/dev/null
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVX_BENCH=OFF >/dev/null
cmake --build build/win --target vxDebugger >/dev/null
file=$root/build/win/bench_history.vxs
"$(find build/native -name bench_sessionlog -type f | head -1)" --history-file "$file" "$rows" "$len"
source scripts/wine-env.sh build/win
viewer=
stop_viewer() {
  wineserver -k 2>/dev/null || true
  [ -n "$viewer" ] && wait "$viewer" 2>/dev/null || true
  viewer=
}
trap 'stop_viewer; rm -f "$file"; vx_wine_stop' EXIT

rss_kb() {  # the resident size of the viewer's process, in kB
  local pid
  pid=$(pgrep -f 'vxDebugger\.exe' | while read -r p; do
          echo "$(awk '/VmRSS/ {print $2}' /proc/$p/status 2>/dev/null || echo 0) $p"; done |
        sort -n | tail -1 | cut -d' ' -f2)
  awk '/VmRSS/ {print $2}' "/proc/$pid/status"
}
# Waits until the resident size has stopped changing; prints it.
settled_kb() {
  local last=0 now
  for _ in $(seq 60); do
    sleep 1
    now=$(rss_kb)
    [ "$now" = "$last" ] && break
    last=$now
  done
  echo "$last"
}

wine build/win/vxDebugger.exe & viewer=$!
sleep 4
before=$(settled_kb)
stop_viewer
wineserver -k 2>/dev/null || true
sleep 1
wine build/win/vxDebugger.exe "Z:${file//\//\\}" & viewer=$!
sleep 4
after=$(settled_kb)
stop_viewer
echo "resident size: $before kB plain, $after kB with $rows rows"
awk -v b="$before" -v a="$after" -v r="$rows" -v l="$len" 'BEGIN {
  printf "viewer_bytes_per_row: %.1f bytes\n", (a - b) * 1024 / r - l }'
