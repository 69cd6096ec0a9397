#!/usr/bin/env bash
# soak-sim.sh [BUILD_DIR] [CYCLES] [EXCHANGES]   (also BUILD_DIR/bench/soak-sim)
# The soak (bench/soak.tcl) in fieldwish-sim against the in-process
# instrument: 1,000 unplug/replug cycles and 20,000 exchanges by default.
set -eu
# Run as BUILD_DIR/bench/soak-sim (make bench), the build is the link's.
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-soak.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work"
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
SOAK_CYCLES=${2:-1000} SOAK_EXCHANGES=${3:-20000} \
  "$build_dir/bin/fieldwish-sim" "$here/soak.tcl" </dev/null >/dev/null
