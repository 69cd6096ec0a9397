#!/usr/bin/env bash
# recording-bench.sh [BUILD_DIR]   (also BUILD_DIR/bench/recording-bench)
# The recording path's cost per frame (bench/recording_bench.tcl, plain
# tclsh), now and before the recorder kept events and integrity records (its
# dashRecord.itcl at commit e477dc4, when the source tree is a git checkout).
set -eu
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
source_dir=$(cd "$here/.." && pwd)
work=$(mktemp -d /tmp/fieldwish-recording-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
before=
if git -C "$source_dir" show e477dc4:scripts/dashRecord.itcl > "$work/dashRecord-before.itcl" 2>/dev/null; then
  before=$work/dashRecord-before.itcl
fi
tclsh8.6 "$here/recording_bench.tcl" "$source_dir/scripts" "$work" $before
