#!/usr/bin/env bash
# Records per second from `vxsend flood N` into the viewer, measured side by
# side with a bare receiver window that only takes the records (the ceiling of
# WM_COPYDATA under this Wine), once hidden and once shown on the screen as the
# viewer's is, and with the viewer holding one section and 20 sections. Every
# round measures all four in turn, so a machine that is busy with other work
# slows each of them alike; the figures are the medians of the rounds.
# Usage: bash bench/flood.sh [N] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-20000}
rounds=${2:-5}
root=$PWD
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVX_BENCH=OFF >/dev/null
cmake --build build/win --target vxDebugger vxsend vxreceive >/dev/null
source scripts/wine-env.sh build/win
trap vx_wine_stop EXIT
vxsend=build/win/client/vxsend.exe

# Starts a receiver, lets `prepare` open further sections, floods it and
# prints the rate vxsend measured.
measure() {  # prepare receiver command...
  local prepare=$1
  shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 2
  $prepare
  local out
  out=$(wine $vxsend --client "flood" --app 'C:\Bench\Flood.exe' --caption Flood flood "$n" || true)
  # The bare receiver ends after the flood; the viewer would ask before it
  # exits, so it is ended by force (the server and Wine's services stay up).
  sleep 0.5
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  sed -n 's/.* \([0-9][0-9]*\) records per second.*/\1/p' <<<"$out"
}

none() { :; }
# 19 other clients, each with a section of its own, before the flood's.
nineteen() {
  local i
  for i in $(seq 1 19); do
    wine $vxsend --client "other $i" --app 'C:\Bench\Other.exe' --caption "Other $i" \
      flood 1 >/dev/null 2>&1 || true
  done
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR]=$1} END {print NR ? v[int((NR+1)/2)] : 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

hidden="" shown="" viewer="" viewer20=""
for r in $(seq 1 "$rounds"); do
  h=$(measure none wine build/win/client/vxreceive.exe "$((n + 1))")
  s=$(measure none wine build/win/client/vxreceive.exe --show "$((n + 1))")
  v=$(measure none wine build/win/vxDebugger.exe)
  v20=$(measure nineteen wine build/win/vxDebugger.exe)
  echo "round $r: bare hidden ${h:-0}/s, bare shown ${s:-0}/s, viewer ${v:-0}/s, viewer with 20 sections ${v20:-0}/s" >&2
  hidden+=" ${h:-0}" shown+=" ${s:-0}" viewer+=" ${v:-0}" viewer20+=" ${v20:-0}"
done

mh=$(median <<<"$hidden")
ms=$(median <<<"$shown")
mv=$(median <<<"$viewer")
mv20=$(median <<<"$viewer20")
echo "flood_bare_hidden_rps: $mh records/s"
echo "flood_bare_shown_rps: $ms records/s"
echo "flood_viewer_rps: $mv records/s"
echo "flood_ratio: $(ratio "$mv" "$mh") of bare hidden"
echo "flood20_viewer_rps: $mv20 records/s"
echo "flood20_ratio: $(ratio "$mv20" "$mh") of bare hidden"
