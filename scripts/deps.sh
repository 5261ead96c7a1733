#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian, as root. Safe to run
# again. `deps.sh --list` prints the packages; scripts/check-deps.sh fails when
# a command that the scripts or tests call comes from none of them.
set -euo pipefail
packages=(
  cmake ninja-build g++ googletest g++-mingw-w64-x86-64-posix
  # session files are deflated with zlib, natively and in the Windows build
  zlib1g-dev libz-mingw-w64-dev
  # wine has the wine, wineserver and wineboot commands; wine64 only the loader
  wine wine64 xvfb xauth x11-utils imagemagick
  libreoffice-calc-nogui libreoffice-writer-nogui chromium-headless-shell
  # Free Pascal builds the Pascal client's example; its Win64 run-time units
  # are built from fpc-source into the build tree
  fp-compiler fpc-source
  # clang and its libFuzzer build and run the fuzz targets (tests/fuzz)
  clang libclang-rt-dev
  # the test command checks every source file against .clang-format
  clang-format
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
need=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
