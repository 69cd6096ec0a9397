# Sourced by the Wine test and benchmark drivers: the one place for the Wine
# prefix and environment.
# start_wine_server BUILD_DIR points Wine at the build tree's own 32-bit
# prefix BUILD_DIR/wineprefix, or at FIELDWISH_WINE_PREFIX when that is set
# (made on first use), and keeps one wineserver for the whole run, which
# makes each program start take a fraction of the time.
# FIELDWISH_WINE_OVERRIDES adds DLL overrides. stop_wine_server ends that
# server. end_wine_run, as a driver's EXIT trap, ends the server and the
# private Xvfb, removes the driver's $work and keeps its exit status.
# deploy_windows_build and run_wine_suite: see below.
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko prompts. No winemenubuilder: Wine starts one for every
# shortcut saved, and it may still hold the file open when a test replaces
# or deletes it (installing twice), which Windows refuses.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_server_started=
start_wine_server() {
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${FIELDWISH_WINE_OVERRIDES:+;$FIELDWISH_WINE_OVERRIDES}"
  export WINEPREFIX="${FIELDWISH_WINE_PREFIX:-$1/wineprefix}"
  # A server left by an earlier run may have been started without a display
  # (the prefix is the build tree's own, used by one run at a time).
  wineserver -k 2>/dev/null || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >"$1/wineboot.log" 2>&1 || {
      echo "creating the Wine prefix $WINEPREFIX failed:" >&2
      cat "$1/wineboot.log" >&2
      return 1
    }
    wineserver -w
  fi
  wineserver -p
  wine_server_started=1
}
stop_wine_server() {
  if [ -n "$wine_server_started" ]; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    wine_server_started=
  fi
  return 0
}
end_wine_run() {
  local status=$?
  stop_wine_server
  stop_private_xvfb
  rm -rf "$work"
  exit $status
}

# deploy_windows_build BUILD_DIR WORK lays WORK out like the distribution:
# bin/ (the programs and the Tcl/Tk DLLs, and the files FIELDWISH_WINE_BESIDE
# names; the working directory), lib/ (the Tcl and Tk libraries), tcl/ (the
# protected boot scripts), and tmp/ for the tests.
deploy_windows_build() {
  mkdir -p "$2/bin" "$2/tcl" "$2/tmp"
  cp "$1"/bin/*.exe "$1"/bin/*.dll ${FIELDWISH_WINE_BESIDE:-} "$2/bin/" || return 1
  ln -s "$1/lib" "$2/lib"
  cp "$1"/tcl/*.tin "$1"/tcl/*.tcl "$2/tcl/"
}

# run_wine_suite BUILD_DIR SHELL TEST_FILE WORK runs one tcltest file inside
# the Windows program SHELL in the deployment WORK, under the server and
# display already started, prints its output and returns non-zero unless
# every test passed. FIELDWISH_WINE_SUITE_SECONDS (default 400) bounds it.
run_wine_suite() {
  local build_dir=$1 shell=$2 test_file=$3 work=$4 name test_dir runner limit status=0
  local source_dir
  source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  export FIELDWISH_BUILD_DIR=$build_dir
  export FIELDWISH_SOURCE_DIR=$source_dir
  export FIELDWISH_TEST_DEPLOY=$work
  # tcllib (pure Tcl) serves the Windows Tcl as it is.
  TCLLIBPATH=$(ls -d /usr/share/tcltk/tcllib* 2>/dev/null | head -n 1)
  export TCLLIBPATH
  name=$(basename "$test_file" .test)
  test_dir=$(cd "$(dirname "$test_file")" && pwd)
  # Output to files: Wine's helper processes would hold a pipe open.
  (cd "$work/bin" && WINEDEBUG=${FIELDWISH_SUITE_WINEDEBUG:-$WINEDEBUG} exec wine "$shell" "$source_dir/tests/tcl/all.tcl" -testdir "$test_dir" -file "$name.test" \
     -tmpdir "$work/tmp" ${FIELDWISH_WINE_SUITE_OPTIONS:-} </dev/null >"$work/out.txt" 2>"$work/err.txt") &
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
  wait "$runner" || status=$?
  [ "$status" -eq 0 ] || echo "$shell ended with status $status" >&2
  cat "$work/out.txt"
  cat "$work/err.txt" >&2
  [ -f "$work/box.txt" ] && status=1
  return $status
}
