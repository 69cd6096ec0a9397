#!/usr/bin/env bash
# Runs every benchmark program of the build (BUILD_DIR/bench/*) in turn.
set -eu
build_dir=${1:-build}
status=0
found=0
for program in "$build_dir"/bench/*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  found=1
  echo "== $(basename "$program")"
  "$program" || status=1
done
[ "$found" -eq 1 ] || echo "no benchmarks built in $build_dir/bench"
exit $status
