#!/usr/bin/env bash
# run-wine-suite.sh WIN_BUILD_DIR SHELL TEST_FILE
# Runs one tcltest file inside the Windows program SHELL (fieldwish.exe or
# fieldwish-sim.exe) under Wine, on a private Xvfb, from a temporary
# deployment laid out like the distribution: bin/ (the programs and the Tcl/Tk
# DLLs; the working directory), lib/ (the Tcl and Tk libraries) and tcl/ (the
# protected boot scripts). When tests/win32/NAME.readback.test exists beside
# the file, it then runs under the Linux tclsh against what the Windows run
# left in the deployment (tools the Windows side cannot start, like lnkinfo).
# Exits non-zero unless every test passed.
set -u
build_dir=$(cd "$1" && pwd) shell=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

. "$source_dir/tools/xvfb.sh"
. "$here/wine-env.sh"

work=$(mktemp -d /tmp/fieldwish-wine.XXXXXX)
trap end_wine_run EXIT

mkdir -p "$work/bin" "$work/tcl" "$work/tmp"
cp "$build_dir"/bin/*.exe "$build_dir"/bin/*.dll "$work/bin/"
ln -s "$build_dir/lib" "$work/lib"
cp "$build_dir"/tcl/*.tin "$build_dir"/tcl/*.tcl "$work/tcl/"
start_private_xvfb "$work/xvfb.log" || exit 1
start_wine_server "$build_dir" || exit 1

export FIELDWISH_BUILD_DIR=$build_dir
export FIELDWISH_SOURCE_DIR=$source_dir
export FIELDWISH_TEST_DEPLOY=$work
# tcllib (pure Tcl) serves the Windows Tcl as it is.
export TCLLIBPATH=$(ls -d /usr/share/tcltk/tcllib* 2>/dev/null | head -n 1)

name=$(basename "$test_file" .test)
test_dir=$(cd "$(dirname "$test_file")" && pwd)
cd "$work/bin"
# Output to files: Wine's helper processes would hold a pipe open.
wine "$shell" "$source_dir/tests/tcl/all.tcl" -testdir "$test_dir" -file "$name.test" -tmpdir "$work/tmp" ${FIELDWISH_WINE_SUITE_OPTIONS:-} \
  </dev/null >"$work/out.txt" 2>"$work/err.txt" &
runner=$!
# An error that ends up in a message box would wait for a click for ever:
# after the time limit the box, if there is one, is shown and pressed.
limit=$(( ${FIELDWISH_WINE_SUITE_SECONDS:-400} * 10 ))
while kill -0 "$runner" 2>/dev/null && [ "$limit" -gt 0 ]; do
  sleep 0.1
  limit=$((limit - 1))
done
if kill -0 "$runner" 2>/dev/null; then
  echo "the suite did not end in time; a message box may be waiting:" >&2
  wine "$build_dir/tests/win32/dismiss_box.exe" 1 >"$work/box.txt" 2>&1
  cat "$work/box.txt" >&2
  sleep 2
  kill "$runner" 2>/dev/null
fi
status=0
wait "$runner" || status=$?
cat "$work/out.txt"
cat "$work/err.txt" >&2
cd /
[ -f "$work/box.txt" ] && status=1
readback="$here/$name.readback.test"
if [ "$status" -eq 0 ] && [ -f "$readback" ]; then
  tclsh8.6 "$source_dir/tests/tcl/all.tcl" -testdir "$here" -file "$name.readback.test" \
    -tmpdir "$work/tmp" </dev/null || status=$?
fi
exit $status
