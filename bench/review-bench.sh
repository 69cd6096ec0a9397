#!/usr/bin/env bash
# review-bench.sh [BUILD_DIR] [DAYS]   (also BUILD_DIR/bench/review-bench)
# The review inside fieldwish-sim under a private Xvfb, on generated
# recordings of 1 h, 24 h and DAYS days (default 7) at 10 Hz: opening,
# redraw times at every zoom, memory, indexing a file without summary, and
# the largest poll delay while the review works. Figures only.
set -eu
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
days=${2:-7}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-review-bench.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work" lib
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
"$build_dir/bin/fieldwish-sim" "$here/review_bench.tcl" "$work" "$here/../tests/scripts/recgen.tcl" "$days" </dev/null >/dev/null
