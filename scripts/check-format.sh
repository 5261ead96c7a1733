#!/usr/bin/env bash
# Fails on any C or C++ file of the repository that .clang-format would change,
# and names each one. `check-format.sh --fix` rewrites them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(find . \( -path ./build -o -path './build-*' \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' \) -print0 | sort -z)
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=0
for f in "${files[@]}"; do
  if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "not formatted: $f (scripts/check-format.sh --fix)"
    bad=1
  fi
done
[ $bad -eq 0 ] && echo "All ${#files[@]} files follow .clang-format."
exit $bad
