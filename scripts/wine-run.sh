#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs one program under Wine.
# The test script has set up the display, prefix and wineserver.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "wine-run: WINEPREFIX and DISPLAY must be set (run the tests through scripts/test.sh)" >&2
  exit 2
fi
exec wine "$@"
