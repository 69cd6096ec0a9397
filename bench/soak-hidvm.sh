#!/usr/bin/env bash
# soak-hidvm.sh [BUILD_DIR] [CYCLES] [EXCHANGES]   (also BUILD_DIR/bench/soak-hidvm)
# The soak (bench/soak.tcl) in the production fieldwish against the kernel
# instrument (instrument-sim --uhid) inside the hidvm guest, unplugged and
# replugged through its control channel: 200 cycles and 5,000 exchanges by
# default (an emulated guest is slow). Sanitizer settings in the environment
# (ASAN_OPTIONS, LSAN_OPTIONS, UBSAN_OPTIONS) reach the guest, so a sanitizer
# tree's shell can be soaked the same way.
set -u
# Run as BUILD_DIR/bench/soak-hidvm (make bench), the build is the link's.
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cycles=${2:-200} exchanges=${3:-5000}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
source_dir=$(cd "$here/.." && pwd)

if [ "${HIDVM_GUEST:-}" != 1 ]; then
  exec env HIDVM_GUEST=1 "$source_dir/tests/hidvm/hidvm-run" -C "$build_dir/hidvm-cache" -t 1800 \
    -e HIDVM_GUEST -- "$here/soak-hidvm.sh" "$build_dir" "$cycles" "$exchanges"
fi

# ---- inside the guest ----
. "$source_dir/tools/xvfb.sh"
. "$source_dir/tools/deployment.sh"
. "$source_dir/tests/hidvm/instrument-sim.sh"
work=$(mktemp -d /tmp/hidvm-soak.XXXXXX)
cleanup() {
  stop_instrument_sim
  stop_private_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
deploy_build "$build_dir" "$work"
# Software emulation is slow: give the server time.
start_private_xvfb "$work/xvfb.log" 20 || exit 1

start_instrument_sim "$build_dir" uhid "$work" || exit 1

cd "$work/bin"
SOAK_CYCLES=$cycles SOAK_EXCHANGES=$exchanges "$build_dir/bin/fieldwish" "$here/soak.tcl" </dev/null >/dev/null
