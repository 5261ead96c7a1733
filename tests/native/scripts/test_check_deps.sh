#!/usr/bin/env bash
# The dependency check must catch a command whose package deps.sh does not
# install: with the wine package left out of the list, the wine commands that
# the scripts call must be reported, by name, and the check must fail.
set -uo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
command -v dpkg-query >/dev/null && dpkg -s wine >/dev/null 2>&1 || { echo "no dpkg or no wine here"; exit 77; }
list=$(bash "$root/scripts/deps.sh" --list | grep -vx wine | tr '\n' ' ')
out=$(VX_DEPS_PACKAGES="$list" bash "$root/scripts/check-deps.sh" 2>&1)
rc=$?
echo "$out"
[ $rc -ne 0 ] || { echo "FAIL: the check passed without the wine package"; exit 1; }
grep -q '(wine)' <<<"$out" || { echo "FAIL: the report does not name the wine package"; exit 1; }
echo "the check caught the missing package"
