# Sourced by the test and benchmark drivers. start_private_xvfb LOG [SECONDS]
# starts an Xvfb on a display it picks itself (free, never a running one),
# exports DISPLAY and sets xvfb_pid; it waits up to SECONDS (default 5) for
# the server. XVFB_SCREEN sets the screen (default 1280x1024x24).
# stop_private_xvfb stops it.
xvfb_pid=
start_private_xvfb() {
  local log=$1 seconds=${2:-5} display_file tries
  display_file=$(mktemp)
  exec 3> "$display_file"
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024x24}" -nolisten tcp -noreset >"$log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  tries=$((seconds * 20))
  while [ "$tries" -gt 0 ] && [ ! -s "$display_file" ]; do
    sleep 0.05
    tries=$((tries - 1))
  done
  if [ ! -s "$display_file" ]; then
    echo "Xvfb did not start:" >&2
    cat "$log" >&2
    rm -f "$display_file"
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$display_file")"
  rm -f "$display_file"
}
stop_private_xvfb() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
  fi
  return 0
}
