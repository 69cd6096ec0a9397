#!/usr/bin/env bash
# dashboard-cpu.sh [BUILD_DIR [SECONDS [record]]]   (also BUILD_DIR/bench/dashboard-cpu)
# The dashboard as a user runs it, inside fieldwish-sim under a private Xvfb:
# polling the in-process instrument every 100 ms, the Live tab shown, the
# display timer running, for SECONDS (default 600) on the wall clock. Prints
# the CPU time the dashboard's process (and the X server) spent, per minute
# and in all, as a share of one core. With "record" it records the frames
# as well, as a field engineer leaves it.
set -eu
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
seconds=${2:-600}
record=${3:-}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-cpu.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work" lib
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
"$build_dir/bin/fieldwish-sim" "$here/dashboard_cpu.tcl" "$work" "$seconds" "$xvfb_pid" "$(getconf CLK_TCK)" "$record" \
  </dev/null >/dev/null
