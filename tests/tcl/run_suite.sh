#!/usr/bin/env bash
# run_suite.sh BUILD_DIR SHELL TEST_FILE
# Runs one tcltest file inside SHELL under a private Xvfb, from a temporary
# deployment: bin/ is the working directory and tcl/ holds the protected boot
# scripts of the build. Exits non-zero unless every test passed.
set -u
build_dir=$1 shell=$2 test_file=$3
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d /tmp/fieldwish-test.XXXXXX)
xvfb_pid=
cleanup() {
  local status=$?
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
  exit $status
}
trap cleanup EXIT

mkdir -p "$work/bin" "$work/tcl" "$work/tmp"
cp "$build_dir"/tcl/*.tin "$work/tcl/"

# Xvfb picks a free display itself and tells its number on the descriptor.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "run_suite: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export FIELDWISH_BUILD_DIR=$build_dir
export FIELDWISH_SOURCE_DIR=$(cd "$here/../.." && pwd)
export FIELDWISH_TEST_DEPLOY=$work

cd "$work/bin"
status=0
"$shell" "$here/all.tcl" -file "$(basename "$test_file")" -tmpdir "$work/tmp" </dev/null || status=$?
cd /
exit $status
