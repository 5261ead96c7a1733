#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, the interop tests, a short
# run of every fuzz target, the Windows tests under Wine, and a check that
# every source file follows .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh
# A command that came from a package outside deps.sh's list works here and is
# missing on a fresh machine: stop now rather than fail in confusing ways later.
bash scripts/check-deps.sh
jobs=$(nproc)

configure() {  # dir, extra cmake args...
  local dir=$1; shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

echo "== Native build"
configure build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/native -j "$jobs"
echo "== Sanitizer build"
configure build/asan -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_BENCH=OFF
cmake --build build/asan -j "$jobs"
echo "== Fuzz build"
CC=clang CXX=clang++ configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_FUZZ=ON -DVX_BENCH=OFF
cmake --build build/fuzz -j "$jobs"
echo "== Windows build"
configure build/win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BENCH=OFF
cmake --build build/win -j "$jobs"

status=0
echo "== Format"
bash scripts/check-format.sh || status=1
echo "== Release ZIP"
bash scripts/check-release.sh build/win || status=1
echo "== Native tests"
(cd build/native && ctest --output-on-failure -j "$jobs") || status=1
echo "== Sanitizer tests"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -LE 'interop|scripts') || status=1
echo "== Fuzz targets"
(cd build/fuzz && ctest --output-on-failure -j "$jobs") || status=1
echo "== Windows tests under Wine"
source scripts/wine-env.sh build/win
trap vx_wine_stop EXIT
(cd build/win && ctest --output-on-failure) || status=1
[ $status -eq 0 ] && echo "All test groups passed." || echo "Some tests failed."
exit $status
