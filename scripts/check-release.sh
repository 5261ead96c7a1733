#!/usr/bin/env bash
# Builds the release ZIP of a Windows build folder and checks it: every file a
# user needs is in it, and a client program links from its client folder alone.
# Usage: bash scripts/check-release.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build folder}
cmake --build "$build" --target package >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
archive=$(cd "$build" && pwd)/vxDebugger-$version-win64.zip
[ -f "$archive" ] || { echo "check-release: $archive was not made"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$archive")
top=$work/vxDebugger-$version-win64
status=0
for f in vxDebugger.exe vxsend.exe vxlog.exe README.md NOTICE client/include/vxClient_win.h client/pascal/vxClient.pas; do
  [ -s "$top/$f" ] || { echo "check-release: the ZIP has no $f"; status=1; }
done
if ! x86_64-w64-mingw32-g++-posix -std=c++20 -I "$top/client/include" tests/release/consumer.cpp \
     -L "$top/client/lib" -lvx_client -lvx_protocol_win -lvx_protocol -lvx_platform -luser32 \
     -static -o "$work/consumer.exe" 2>"$work/link.log"; then
  echo "check-release: a client program does not build from the ZIP's client folder:"
  cat "$work/link.log"
  status=1
fi
[ $status -eq 0 ] && echo "check-release: $archive holds the programs, the client library, README and NOTICE"
exit $status
