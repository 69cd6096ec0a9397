#!/usr/bin/env bash
# check-layers-test.sh: tools/check-layers.sh on a tree of its own, two
# folders "low" and "high" above it: upward includes, by the source root and
# by a relative path, are named with their file and line; the same tree
# without them passes.
set -u
here=$(cd "$(dirname "$0")" && pwd)
check=$here/../../tools/check-layers.sh
tree=$(mktemp -d /tmp/fieldwish-layers.XXXXXX)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/cmake" "$tree/low" "$tree/high" "$tree/tests"
printf '# folder  may include\nlow\nhigh  low\n' >"$tree/cmake/layers.txt"
touch "$tree/low/a.h" "$tree/high/b.h" "$tree/tests/t.h"
printf '#include "a.h"\n#include "low/a.h"\n' >"$tree/low/ok.cpp"
printf '#include "low/a.h"\n#include "high/b.h"\n#include <stdio.h>\n#include "generated.h"\n' >"$tree/high/ok.cpp"
printf '#include "low/a.h"\n  #  include "high/b.h"\n#include "../high/b.h"\n// #include "high/b.h"\n#include "tests/t.h"\n' \
  >"$tree/low/up.cpp"

failures=0
expect() {  # expect WHAT STATUS OUTPUT: the check's status and output
  local what=$1 status=$2 output=$3 got got_status
  got=$("$check" "$tree")
  got_status=$?
  got=$(grep -v '^  ' <<<"$got")
  if [ "$got_status" != "$status" ] || [ "$got" != "$output" ]; then
    printf '%s: status %s, expected %s; output:\n%s\nexpected:\n%s\n' "$what" "$got_status" "$status" "$got" "$output"
    failures=$((failures + 1))
  fi
}
expect "upward includes" 1 'low/ may not include high/: low/up.cpp line 2
low/ may not include high/: low/up.cpp line 3
low/ may not include tests/: low/up.cpp line 5
check-layers: 3 include(s) break the rule of cmake/layers.txt:'
rm "$tree/low/up.cpp"
expect "no upward include" 0 "check-layers: 5 includes in 4 files follow cmake/layers.txt"
echo "$((2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
