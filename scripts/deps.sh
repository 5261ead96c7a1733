#!/usr/bin/env bash
# Installs what the build and the tests need, on Debian, as root. Safe to run again.
set -euo pipefail
need=()
want() { dpkg -s "$1" >/dev/null 2>&1 || need+=("$1"); }
for p in cmake ninja-build g++ googletest g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth \
         imagemagick x11-utils libreoffice-calc-nogui libreoffice-writer-nogui \
         chromium-headless-shell; do
  want "$p"
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
