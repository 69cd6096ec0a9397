#!/usr/bin/env bash
# run-suite.sh BUILD_DIR SHELL TEST_FILE
# Runs one tcltest file inside SHELL under a private Xvfb, from a temporary
# deployment: bin/ is the working directory, tcl/ holds the protected scripts
# of the build and lib/ (and icons/, when built) what they load beside them.
# Exits non-zero unless every test passed.
set -u
build_dir=$1 shell=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)

. "$here/../../tools/xvfb.sh"
. "$here/../../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-test.XXXXXX)
cleanup() {
  local status=$?
  stop_private_xvfb
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

# With what the scripts load beside themselves: the theme (lib/) and the icons.
deploy_build "$build_dir" "$work" lib icons
mkdir -p "$work/tmp"
start_private_xvfb "$work/xvfb.log" || exit 1
export FIELDWISH_BUILD_DIR=$build_dir
export FIELDWISH_SOURCE_DIR=$(cd "$here/../.." && pwd)
export FIELDWISH_TEST_DEPLOY=$work

cd "$work/bin"
status=0
"$shell" "$here/all.tcl" -file "$(basename "$test_file")" -tmpdir "$work/tmp" </dev/null || status=$?
cd /
exit $status
