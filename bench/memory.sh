#!/usr/bin/env bash
# The viewer's memory per row: its resident size (as Linux sees the Wine
# process) after a short demo and again after N more records of the demo's
# mix (rows of every kind with and without attached data, billboard lines,
# info-pad lines). Usage: bash bench/memory.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-100000}
root=$PWD
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVX_BENCH=OFF >/dev/null
cmake --build build/win --target vxDebugger vxsend >/dev/null
source scripts/wine-env.sh build/win
trap vx_wine_stop EXIT

rss_kb() {  # the resident size of the viewer's process, in kB
  local pid
  pid=$(pgrep -f 'vxDebugger\.exe' | while read -r p; do
          echo "$(awk '/VmRSS/ {print $2}' /proc/$p/status 2>/dev/null || echo 0) $p"; done |
        sort -n | tail -1 | cut -d' ' -f2)
  awk '/VmRSS/ {print $2}' "/proc/$pid/status"
}

wine build/win/vxDebugger.exe &
sleep 4
wine build/win/client/vxsend.exe demo >/dev/null
sleep 2
before=$(rss_kb)
out=$(wine build/win/client/vxsend.exe demo "$n")
echo "$out"
sleep 3  # the screen catches up
after=$(rss_kb)
records=$(echo "$out" | sed -n 's/.*demo sent \([0-9]*\) records.*/\1/p')
rows=$(echo "$out" | sed -n 's/.*(\([0-9]*\) of them list rows).*/\1/p')
echo "resident size: $before kB before, $after kB after"
awk -v b="$before" -v a="$after" -v r="$records" -v w="$rows" 'BEGIN {
  printf "%.0f bytes per record, %.0f bytes per list row (all growth charged to the rows)\n",
         (a - b) * 1024 / r, (a - b) * 1024 / w }'
wineserver -k 2>/dev/null || true
