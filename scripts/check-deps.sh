#!/usr/bin/env bash
# Fails when a command that the scripts, the build or the tests call is
# installed on this machine by a package that scripts/deps.sh does not bring
# in (the package itself or one of its dependencies). Such a command works
# here and is missing on a fresh machine, so the failure is made visible here.
#
# Commands are looked for as words in the shell scripts, CMake files and the
# string literals of the test programs; a word counts when it names a program
# on PATH. Programs of Debian's essential and required packages are on every
# machine and are not checked.
#
# VX_DEPS_PACKAGES="pkg ..." checks against that list instead of deps.sh's
# (the self-test uses it to prove that a missing package is caught).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "check-deps: no dpkg on this machine; nothing checked"
  exit 0
fi

if [ -n "${VX_DEPS_PACKAGES:-}" ]; then
  listed=$VX_DEPS_PACKAGES
else
  listed=$(bash scripts/deps.sh --list)
fi

# Every installed package with what it depends on, and the virtual names it provides.
db=$(dpkg-query -W -f='${db:Status-Abbrev}\t${Package}\t${Provides}\t${Pre-Depends}, ${Depends}\n' 2>/dev/null |
  awk -F'\t' '$1 ~ /^ii/')
closure=$(printf '%s\n' "$db" | awk -F'\t' -v roots="$listed" '
  function clean(n) { sub(/^[ \t]+/, "", n); sub(/[ \t(].*$/, "", n); sub(/:.*$/, "", n); return n }
  {
    pkg = $2; installed[pkg] = 1; deps[pkg] = $4
    n = split($3, pv, ","); for (i = 1; i <= n; i++) { v = clean(pv[i]); if (v != "") providers[v] = providers[v] " " pkg }
  }
  END {
    n = split(roots, q, /[ \t\n]+/); head = 1; tail = 0
    for (i = 1; i <= n; i++) if (q[i] != "") stack[++tail] = q[i]
    while (head <= tail) {
      p = stack[head++]
      if (p in seen) continue
      seen[p] = 1
      if (!(p in installed)) {   # a virtual name: every installed provider counts
        m = split(providers[p], pr, " "); for (j = 1; j <= m; j++) stack[++tail] = pr[j]
        continue
      }
      print p
      m = split(deps[p], d, /[,|]/)
      for (j = 1; j <= m; j++) { x = clean(d[j]); if (x != "") stack[++tail] = x }
    }
  }' | sort -u)

# Words in a command's place: every word of the shell scripts (comments left
# out); in CMake files the word after COMMAND and the program find_program looks for; in the test programs, in the
# string literals of lines that build or run a command line, the first word
# and the word after a shell operator, timeout N, command -v or exec.
strip_comments() { sed -e 's/^[[:space:]]*#.*$//' -e 's/[[:space:]]#.*$//' "$@"; }
words=$(
  {
    for f in scripts/*.sh .ci/run bench/*.sh; do
      [ -f "$f" ] || continue
      case "$f" in scripts/make-art.sh|scripts/check-deps.sh) continue ;; esac  # a developer's art tool; this file
      # (variables, their uses and assignments are not commands)
      strip_comments "$f" | grep -oE '[$]?[{]?[A-Za-z][A-Za-z0-9._+-]*=?' | grep -vE '^[$]|^[{]|=$'
    done
    find . \( -name CMakeLists.txt -o -name '*.cmake' \) -not -path './build*' -print0 | xargs -0 cat |
      strip_comments | grep -oE 'COMMAND +[A-Za-z][A-Za-z0-9._+-]*|find_program\( *[A-Za-z0-9_]+ +[A-Za-z][A-Za-z0-9._+-]*' |
      sed -E 's/^(COMMAND|find_program\( *[A-Za-z0-9_]+) +//' || true
    find tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 grep -hE 'system\(|popen\(|\bcmd\b' |
      grep -oE '"([^"\\]|\\.)*"' | sed -e 's/^"//' -e 's/"$//' -e 's/&&\|||\|[;|(]/\n/g' | tr -s ' ' |
      sed -E -e 's/^ +//' -e 's/^(timeout [0-9]+|command -v|exec) +//' | grep -oE '^[A-Za-z][A-Za-z0-9._+-]*' || true
  } | sort -u)

paths=()
for w in $words; do
  p=$(type -P "$w" 2>/dev/null) || continue
  paths+=("$(readlink -f "$p")")
done

# The owning package of each program (dpkg knows /bin and /sbin paths by their
# names before the /usr merge).
owner_of() {
  local f=$1 alt
  dpkg -S "$f" 2>/dev/null | grep -v '^diversion' | head -n 1 | cut -d: -f1 && return
  alt=${f/#\/usr\/bin\//\/bin\/}; alt=${alt/#\/usr\/sbin\//\/sbin\/}
  [ "$alt" != "$f" ] && dpkg -S "$alt" 2>/dev/null | grep -v '^diversion' | head -n 1 | cut -d: -f1
  return 0
}

missing=()
for f in $(printf '%s\n' "${paths[@]}" | sort -u); do
  pkg=$(owner_of "$f")
  [ -n "$pkg" ] || continue  # not from a package (a tool of the user's own)
  base=$(dpkg-query -W -f='${Essential} ${Priority}' "$pkg" 2>/dev/null || true)
  case "$base" in yes*|*required) continue ;; esac
  grep -qxF "$pkg" <<<"$closure" || missing+=("$(basename "$f") ($pkg)")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "check-deps: these commands are called by the scripts or tests, but no package that"
  echo "scripts/deps.sh installs brings them in; a fresh machine will not have them:"
  printf '  %s\n' "${missing[@]}"
  echo "Add their packages to the list in scripts/deps.sh."
  exit 1
fi
echo "check-deps: every command the scripts and tests call comes from deps.sh's packages"
