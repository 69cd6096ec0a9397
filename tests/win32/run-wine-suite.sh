#!/usr/bin/env bash
# run-wine-suite.sh WIN_BUILD_DIR SHELL TEST_FILE
# Runs one tcltest file inside the Windows program SHELL (fieldwish.exe or
# fieldwish-sim.exe) under Wine, on a private Xvfb, from a temporary
# deployment laid out like the distribution (wine-env.sh). When
# tests/win32/NAME.readback.test exists beside the file, it then runs under
# the Linux tclsh against what the Windows run left in the deployment (tools
# the Windows side cannot start, like lnkinfo). Exits non-zero unless every
# test passed.
set -u
build_dir=$(cd "$1" && pwd) shell=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

. "$source_dir/tools/xvfb.sh"
. "$here/wine-env.sh"

work=$(mktemp -d /tmp/fieldwish-wine.XXXXXX)
trap end_wine_run EXIT

deploy_windows_build "$build_dir" "$work" || exit 1
start_private_xvfb "$work/xvfb.log" 20 || exit 1
start_wine_server "$build_dir" || exit 1
status=0
run_wine_suite "$build_dir" "$shell" "$test_file" "$work" || status=$?
name=$(basename "$test_file" .test)
readback="$here/$name.readback.test"
if [ "$status" -eq 0 ] && [ -f "$readback" ]; then
  tclsh8.6 "$source_dir/tests/tcl/all.tcl" -testdir "$here" -file "$name.readback.test" \
    -tmpdir "$work/tmp" </dev/null || status=$?
fi
exit $status
