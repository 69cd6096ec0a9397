#!/usr/bin/env bash
# screenshot.sh BUILD_DIR: PNGs of each dashboard tab and of the installer
# (screenshot-installer.tcl), taken under a private Xvfb, into
# BUILD_DIR/screenshots; then the dashboard again at 150 % and 200 % and the
# installer at 200 % (tk scaling enlarged) on a screen large enough for them.
set -eu
build_dir=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/xvfb.sh"
out=$build_dir/screenshots
mkdir -p "$out"
trap stop_private_xvfb EXIT
XVFB_SCREEN=1920x1200x24 start_private_xvfb "$out/xvfb.log"
cd "$build_dir/bin"
./fieldwish-sim "$here/screenshot.tcl" "$out" dashboard | grep '^screenshot:'
./fieldwish-sim installation "$here/screenshot-installer.tcl" "$out" | grep '^screenshot:'
stop_private_xvfb
XVFB_SCREEN=2400x1500x24 start_private_xvfb "$out/xvfb.log"
./fieldwish-sim "$here/screenshot.tcl" "$out" dashboard 150 | grep '^screenshot:'
./fieldwish-sim "$here/screenshot.tcl" "$out" dashboard 200 | grep '^screenshot:'
./fieldwish-sim installation "$here/screenshot-installer.tcl" "$out" 200 | grep '^screenshot:'
