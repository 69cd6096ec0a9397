# Sourced by the Wine test and benchmark drivers. start_wine_server BUILD_DIR
# points Wine at the build tree's own 32-bit prefix (made on first use) and
# keeps one wineserver for the whole run, which makes each program start
# take a fraction of the time. stop_wine_server ends that server.
# end_wine_run, as a driver's EXIT trap, ends the server and the private
# Xvfb, removes the driver's $work and keeps its exit status.
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko prompts. No winemenubuilder: Wine starts one for every
# shortcut saved, and it may still hold the file open when a test replaces
# or deletes it (installing twice), which Windows refuses.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_server_started=
start_wine_server() {
  export WINEPREFIX="$1/wineprefix"
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
