#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each (default 600), one after the other,
# and prints per target how many inputs it ran, how many crashed and how long
# it ran:
#   fuzz_<target>_execs: N
#   fuzz_<target>_crashes: N
#   fuzz_<target>_seconds: N
# A target that crashes is started again for the time left, so one find does
# not end its run; the crashing inputs are kept in build/fuzz/bench/crashes.
# What each target learns is kept in build/fuzz/bench/corpus and used again by
# the next run (the committed seeds under tests/fuzz stay as they are).
# With VX_FUZZ_EXECS=N a target stops as soon as it has run N inputs, so a
# long time limit can be given to reach a number of executions.
# With VX_FUZZ_MAX_LEN=B no input is longer than B bytes (longer ones in the
# corpus are cut): the pattern targets spend their time in long searches, and
# a shorter input reaches the same code many times more often.
# Usage: [VX_FUZZ_EXECS=N] [VX_FUZZ_MAX_LEN=B] bash bench/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
want=${VX_FUZZ_EXECS:-0}
limit=()
[ "${VX_FUZZ_MAX_LEN:-0}" -eq 0 ] || limit=(-max_len="$VX_FUZZ_MAX_LEN")
shift || true
build=build/fuzz
if [ ! -f $build/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVX_FUZZ=ON -DVX_BENCH=OFF >/dev/null
fi
cmake --build $build >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in tests/fuzz/*/; do
    t=$(basename "$d")
    [ -x $build/tests/fuzz/fuzz_$t ] && targets+=("$t")
  done
fi

for t in "${targets[@]}"; do
  corpus=$build/bench/corpus/$t crashes=$build/bench/crashes/$t log=$build/bench/$t.log
  mkdir -p "$corpus" "$crashes"
  execs=0 found=0
  start=$SECONDS end=$((SECONDS + seconds))
  while [ $SECONDS -lt "$end" ] && { [ "$want" -eq 0 ] || [ $execs -lt "$want" ]; }; do
    left=$((end - SECONDS))
    runs=-1
    [ "$want" -eq 0 ] || runs=$((want - execs))
    rc=0
    $build/tests/fuzz/fuzz_$t -max_total_time=$left -runs=$runs -timeout=20 -rss_limit_mb=2560 \
      "${limit[@]}" -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" tests/fuzz/$t/corpus \
      >"$log" 2>&1 || rc=$?
    # The final stats, or on a crash the last status line.
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    [ -n "$n" ] || n=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$log" | tail -n 1)
    execs=$((execs + ${n:-0}))
    if [ $rc -ne 0 ]; then
      found=$((found + 1))
      cp "$log" "$crashes/crash-$(date +%s)-$found.log"
    fi
  done
  echo "fuzz_${t}_execs: $execs"
  echo "fuzz_${t}_crashes: $found"
  echo "fuzz_${t}_seconds: $((SECONDS - start))"
done
