#!/usr/bin/env bash
# startup-bench.sh [BUILD_DIR] [RUNS]   (also BUILD_DIR/bench/startup-bench)
# Start-up of fieldwish (booting the dashboard) to its event loop, against
# two shells that run the same dashboard modules in plain form, all under
# one private Xvfb: time and peak memory.
#   console_wish  Tk_Main with Tk's console created, as fieldwish must: the
#                 anchor that does the shell's work without its own code
#   wish8.6       Debian's wish, which creates no console
# Each runs from the same deployment (bin/ the working directory, tcl/ and
# lib/ beside it), so all three find and load the same theme.
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
deploy_build "$build_dir" "$work" lib
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
plain=("$here/startup.tcl" "$here/../scripts/tovGUI.itcl")
"$build_dir/bench/helpers/startup_bench" "$runs" \
  fieldwish "$build_dir/bin/fieldwish" "$here/startup.tcl" -- \
  console_wish "$build_dir/bench/helpers/console_wish" "${plain[@]}" -- \
  wish8.6 "$wish" "${plain[@]}" </dev/null
