#!/usr/bin/env bash
# Records per second from `vxsend flood N` into the viewer, measured side by
# side with a bare receiver window that only takes the records (the ceiling of
# WM_COPYDATA under this Wine), once hidden and once shown on the screen as the
# viewer's is, and with the viewer holding one section and 20 sections. Every
# round measures all four in turn, so a machine that is busy with other work
# slows each of them alike; the figures are the medians of the rounds.
# With VX_VIEWER_BEFORE naming another build's vxDebugger.exe, every round
# also measures that viewer with one section, so an earlier build and this one
# are compared in the same run (flood_before_*: its rate, and the processor
# time per record of the server and of the viewer, which a busy machine
# disturbs far less than the rate).
# Usage: [VX_VIEWER_BEFORE=EXE] bash bench/flood.sh [N] [ROUNDS]
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

# Processor time (user and system, in clock ticks) of a process so far.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The wineserver of this prefix (each prefix has its own).
server_pid() {
  local d comm
  for d in /proc/[0-9]*; do
    read -r comm <"$d/comm" 2>/dev/null || continue
    case $comm in wineserver | wineserver64) ;; *) continue ;; esac
    if tr '\0' '\n' <"$d/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "${d#/proc/}"
      return
    fi
  done
}
hz=$(getconf CLK_TCK)
us_per_record() { awk -v t="$1" -v hz="$hz" -v n="$n" 'BEGIN {printf "%.0f", t * 1e6 / hz / n}'; }

# Starts a receiver, lets `prepare` open further sections, floods it and
# prints the rate vxsend measured, then the processor time per record of
# the server and of the receiving process, in microseconds.
measure() {  # prepare receiver command...
  local prepare=$1
  shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 2
  $prepare
  local out server s0 p0 s1 p1
  server=$(server_pid)
  s0=$(ticks "$server") p0=$(ticks "$pid")
  out=$(wine $vxsend --client "flood" --app 'C:\Bench\Flood.exe' --caption Flood flood "$n" || true)
  s1=$(ticks "$server") p1=$(ticks "$pid")
  # Receivers are ended by force (the viewer would ask before it exits);
  # the server and Wine's services stay up.
  sleep 0.5
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  local rate
  rate=$(sed -n 's/.* \([0-9][0-9]*\) records per second.*/\1/p' <<<"$out")
  echo "${rate:-0} $(us_per_record $((s1 - s0))) $(us_per_record $((p1 - p0)))"
}

# The flood's client connects first, so its section stands before the clock runs.
one() {
  wine $vxsend --client "flood" --app 'C:\Bench\Flood.exe' --caption Flood flood 1 >/dev/null 2>&1 || true
}
# 19 other clients, each with a section of its own, before the flood's.
twenty() {
  one
  local i
  for i in $(seq 1 19); do
    wine $vxsend --client "other $i" --app 'C:\Bench\Other.exe' --caption "Other $i" \
      flood 1 >/dev/null 2>&1 || true
  done
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR]=$1} END {print NR ? v[int((NR+1)/2)] : 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }

before=${VX_VIEWER_BEFORE:-}
hidden="" shown="" viewer="" viewer20="" vbefore="" vbsrv="" vbproc="" hsrv="" hproc="" vsrv="" vproc="" v20srv="" v20proc=""
for r in $(seq 1 "$rounds"); do
  read -r h hs hp < <(measure one wine build/win/client/vxreceive.exe)
  read -r s _ _ < <(measure one wine build/win/client/vxreceive.exe --show)
  read -r v vs vp < <(measure one wine build/win/vxDebugger.exe)
  read -r v20 v20s v20p < <(measure twenty wine build/win/vxDebugger.exe)
  if [ -n "$before" ]; then
    read -r vb vbs vbp < <(measure one wine "$before")
    vbefore+=" $vb" vbsrv+=" $vbs" vbproc+=" $vbp"
    echo "round $r: earlier build's viewer $vb/s, per record: server $vbs us, process $vbp us" >&2
  fi
  echo "round $r: bare hidden $h/s, bare shown $s/s, viewer $v/s, viewer with 20 sections $v20/s;" \
    "per record: server $hs us with the bare receiver, $vs us with the viewer, $v20s us with 20" \
    "sections; process $hp us bare, $vp us viewer, $v20p us viewer with 20 sections" >&2
  hidden+=" $h" shown+=" $s" viewer+=" $v" viewer20+=" $v20"
  hsrv+=" $hs" hproc+=" $hp" vsrv+=" $vs" vproc+=" $vp" v20srv+=" $v20s" v20proc+=" $v20p"
done

mh=$(median <<<"$hidden")
mv=$(median <<<"$viewer")
mv20=$(median <<<"$viewer20")
echo "flood_bare_hidden_rps: $mh records/s"
echo "flood_bare_shown_rps: $(median <<<"$shown") records/s"
echo "flood_viewer_rps: $mv records/s"
echo "flood_ratio: $(ratio "$mv" "$mh") of bare hidden"
echo "flood20_viewer_rps: $mv20 records/s"
echo "flood20_ratio: $(ratio "$mv20" "$mh") of bare hidden"
echo "flood_bare_server_us: $(median <<<"$hsrv") us/record"
echo "flood_viewer_server_us: $(median <<<"$vsrv") us/record"
echo "flood_bare_process_us: $(median <<<"$hproc") us/record"
echo "flood_viewer_process_us: $(median <<<"$vproc") us/record"
echo "flood20_viewer_server_us: $(median <<<"$v20srv") us/record"
echo "flood20_viewer_process_us: $(median <<<"$v20proc") us/record"
if [ -n "$before" ]; then
  mvb=$(median <<<"$vbefore")
  echo "flood_before_viewer_rps: $mvb records/s"
  echo "flood_before_ratio: $(ratio "$mvb" "$mh") of bare hidden"
  echo "flood_before_server_us: $(median <<<"$vbsrv") us/record"
  echo "flood_before_process_us: $(median <<<"$vbproc") us/record"
fi
