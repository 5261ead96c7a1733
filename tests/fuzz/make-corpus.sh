#!/usr/bin/env bash
# Writes the committed seed corpora of the fuzz targets: small inputs by hand
# here, and the packet and session seeds with the program's own encoders
# (fuzz_seeds of the fuzz tree, built first). Run again after a format change.
# Usage: tests/fuzz/make-corpus.sh [fuzz build folder, default build/fuzz]
set -euo pipefail
cd "$(dirname "$0")"
build=$(cd "${1:-../../build/fuzz}" && pwd)

# A seed for FuzzedDataProvider: each text, its backslashes doubled, ended
# with a backslash and a space (how the provider's texts end early), then the
# tail's bytes (printf %b escapes), which the numbers and flags come from.
seed() {  # target name tail text...
  local dir=$1/corpus name=$2 tail=$3 part
  shift 3
  mkdir -p "$dir"
  : >"$dir/$name"
  for part in "$@"; do printf '%s\\ ' "${part//\\/\\\\}" >>"$dir/$name"; done
  printf '%b' "$tail" >>"$dir/$name"
}

seed settings numbers '\x02\x03\x07\x01\x05' '  -0x7FFFFFFF' '$FFFFFFFF' '123' 'bsLarge' '0'
seed settings overflow '\x00\x01\x06\x07' '4294967296' '-2147483649' ' +12' '1'
seed regex groups '\x01\x00' '(a|b)*c{2,3}[^x-z]' 'b.c' 'xaabbccx b.c'
seed regex classes '\x00\x01' '^\d+\s\w*$' 'x' '12 ab_'
seed regex refused '\x01\x01' '(?=a)\1' 'q' 'a'
seed rules regex '\x01\x02\x03' '1;message;regex;1;highlight;0000FF;00FFFF;err(or)?\;\\\x09' 'err'
seed rules plain '\x03\x01\x01' '1;unit;contains;0;exclude;0;FFFFFF;Main' 'String' '2' \
  '1;kind;equals;0;bookmark;0;0;String' 'Main' 'Unit1' 'Save'
seed rules bad '\x01\x02' '2;message;contains;0;include;0;0;x' 'abc'
seed datetime long '\x00\x00\x00\x00\x00\x40\xE6\x40\x01' 'AM' 'PM' "dddd, MMMM d, yyyy 'at' h:mm:ss tt"
seed datetime short '\x00' 'a' 'p' "d/M/yy H:m:s t '''"
seed export html '\x41\x53\x00\x1f\x00\x01\x02' '<b>&amp;' 'http://x.y/?a=1&b=2' '=1+2' \
  $'two\r\nlines' $'caf\xe9'
seed export csv '\x07\xff\x01\x03\x04\x04' 'a,b' 'say "hi"' '' '-5' 'x' 'y'
seed export rtf '\x10\x3f\x01\x02\x06\x06' '{\par}' '\' 'C:\dir' $'caf\xe9'
seed export excel '\x08\x7f\x01\x05\x01\x01' 'Sheet' 'longer cell text than its column' '42'

# TCP frames: the first byte picks the cuts, then the stream. L = 856 is the
# smallest frame (wParam and the fixed packet).
frames() {  # name mode, then stream parts as printf %b texts or "zeros N"
  local dir=net_frames/corpus name=$1 mode=$2 part
  shift 2
  mkdir -p "$dir"
  printf '%b' "$mode" >"$dir/$name"
  while [ $# -gt 0 ]; do
    if [ "$1" = zeros ]; then head -c "$2" /dev/zero >>"$dir/$name"; shift 2
    else printf '%b' "$1" >>"$dir/$name"; shift; fi
  done
}
frames handshake '\x00' '\x58\x03\x00\x00\x01\x01\x00\x00' zeros 852
frames two-in-reads '\x41' '\x58\x03\x00\x00\x01\x00\x00\x00' zeros 852 \
  '\x5c\x03\x00\x00\x0e\x00\x00\x00' zeros 852 'data' '\x58\x03'
frames too-short '\x00' '\x10\x00\x00\x00garbage'
frames too-long '\x81' '\xff\xff\xff\x7f\x01\x01\x00\x00'

"$build/tests/fuzz/fuzz_seeds" .
