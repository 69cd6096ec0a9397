#!/usr/bin/env bash
# guest-suite.sh BUILD_DIR TRANSPORT TEST_FILE
# Runs inside the hidvm guest (see hidvm-run): instrument-sim on TRANSPORT
# (uhid or gadget), then one tcltest file inside the production fieldwish
# under a private Xvfb, from a temporary deployment (bin/ as working
# directory, tcl/ holding the protected boot scripts), with HIDVM_TRANSPORT
# naming the transport to the tests. Exits non-zero unless every test passed.
set -u
build_dir=$1 transport=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

. "$source_dir/tools/xvfb.sh"
. "$source_dir/tools/deployment.sh"
. "$here/instrument-sim.sh"

work=$(mktemp -d /tmp/fieldwish-hidvm.XXXXXX)
cleanup() {
  stop_instrument_sim
  stop_private_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

deploy_build "$build_dir" "$work" lib
mkdir -p "$work/tmp"
# Software emulation is slow: give the server time.
start_private_xvfb "$work/xvfb.log" 20 || exit 1
start_instrument_sim "$build_dir" "$transport" "$work" || exit 1
export FIELDWISH_BUILD_DIR=$build_dir FIELDWISH_SOURCE_DIR=$source_dir FIELDWISH_TEST_DEPLOY=$work
export HIDVM_TRANSPORT=$transport

cd "$work/bin"
# The tcl suite's driver, pointed at this directory's test files.
"$build_dir/bin/fieldwish" "$source_dir/tests/tcl/all.tcl" -testdir "$here" \
  -file "$(basename "$test_file")" -tmpdir "$work/tmp" </dev/null
