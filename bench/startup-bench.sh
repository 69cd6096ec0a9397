#!/usr/bin/env bash
# startup-bench.sh [BUILD_DIR] [RUNS]   (also BUILD_DIR/bench/startup-bench)
# Start-up of fieldwish (booting the dashboard) to its event loop against
# Debian's wish8.6, both under one private Xvfb: time and peak memory. wish8.6
# sources the same dashboard script in plain form, so that the figures
# compare the shells, not a shell with a window against one without.
set -eu
# Run as BUILD_DIR/bench/startup-bench (make bench), the build is the link's.
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
runs=${2:-40}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"
wish=$(command -v wish8.6 || true)
if [ -z "$wish" ]; then
  echo "startup: wish8.6 is missing (Debian package tk8.6)" >&2
  exit 1
fi

work=$(mktemp -d /tmp/fieldwish-bench.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work"
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
"$build_dir/bench/helpers/startup_bench" "$runs" \
  fieldwish "$build_dir/bin/fieldwish" "$here/startup.tcl" -- \
  wish8.6 "$wish" "$here/startup.tcl" "$here/../scripts/tovGUI.itcl" </dev/null
