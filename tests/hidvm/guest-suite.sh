#!/usr/bin/env bash
# guest-suite.sh BUILD_DIR TRANSPORT TEST_FILE
# Runs inside the hidvm guest (see hidvm-run): one tcltest file inside the
# production fieldwish under a private Xvfb, from a temporary deployment (bin/
# as working directory, tcl/ holding the protected boot scripts), with
# HIDVM_TRANSPORT telling the tests which instrument-sim transport to start
# (uhid or gadget). Exits non-zero unless every test passed.
set -u
build_dir=$1 transport=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

work=$(mktemp -d /tmp/fieldwish-hidvm.XXXXXX)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/bin" "$work/tcl" "$work/tmp"
cp "$build_dir"/tcl/*.tin "$work/tcl/"

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 400); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "guest-suite: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export FIELDWISH_BUILD_DIR=$build_dir FIELDWISH_SOURCE_DIR=$source_dir FIELDWISH_TEST_DEPLOY=$work
export HIDVM_TRANSPORT=$transport

cd "$work/bin"
# The tcl suite's driver, pointed at this directory's test files.
"$build_dir/bin/fieldwish" "$source_dir/tests/tcl/all.tcl" -testdir "$here" \
  -file "$(basename "$test_file")" -tmpdir "$work/tmp" </dev/null
