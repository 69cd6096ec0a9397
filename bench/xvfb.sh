# Sourced by the bench scripts: start_private_xvfb starts an Xvfb on a free
# display, exports DISPLAY and sets xvfb_pid; stop_private_xvfb stops it.
xvfb_pid=
start_private_xvfb() {
  local log=$1 display_file
  display_file=$(mktemp)
  exec 3> "$display_file"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    sleep 0.05
  done
  if [ ! -s "$display_file" ]; then
    echo "bench: Xvfb did not start:" >&2
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
