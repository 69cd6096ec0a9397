#!/usr/bin/env bash
# dashboard-bench.sh [BUILD_DIR]   (also BUILD_DIR/bench/dashboard-bench)
# The dashboard inside fieldwish-sim under a private Xvfb: a simulated hour,
# frame times of the 10 s and 1 h windows, poll throughput. Figures only.
set -eu
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-bench.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work" lib
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
"$build_dir/bin/fieldwish-sim" "$here/dashboard_bench.tcl" "$work" </dev/null >/dev/null
