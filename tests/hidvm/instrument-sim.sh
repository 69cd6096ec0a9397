# Sourced by the scripts that run inside the hidvm guest: the one way they
# start the kernel instrument.
#
# start_instrument_sim BUILD_DIR TRANSPORT DIR [OPTION...] starts
# BUILD_DIR/bin/instrument-sim --TRANSPORT (uhid or gadget) reading control
# lines from the FIFO DIR/sim.ctl and writing its answers to the file
# DIR/sim.out, and waits for its "ready" line. It exports
# FIELDWISH_SIM_CONTROL and FIELDWISH_SIM_ANSWERS (the two paths, for a shell
# that talks to it: tests/hidvm/instrument_sim.tcl) and FIELDWISH_SIM_NODE
# (its /dev/hidrawN, empty when it starts unplugged), and sets sim_pid. instrument_sim LINE sends one control line
# and prints its answer; stop_instrument_sim ends the program.
#
# start_udevd DIR starts systemd-udevd, which a program that follows
# hot-plugging through udev's events needs (its log in DIR/udevd.log);
# stop_udevd ends it.
sim_pid=
start_instrument_sim() {
  local build_dir=$1 transport=$2 dir=$3 tries ready
  shift 3
  export FIELDWISH_SIM_CONTROL=$dir/sim.ctl FIELDWISH_SIM_ANSWERS=$dir/sim.out
  sim_answers_seen=1
  : >"$FIELDWISH_SIM_ANSWERS"
  "$build_dir/bin/instrument-sim" "--$transport" --control "$FIELDWISH_SIM_CONTROL" "$@" </dev/null \
    >"$FIELDWISH_SIM_ANSWERS" 2>"$dir/sim.err" &
  sim_pid=$!
  # A USB gadget takes a second or two to be enumerated under emulation.
  for tries in $(seq 1 600); do
    ready=$(head -n 1 "$FIELDWISH_SIM_ANSWERS")
    [ -n "$ready" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.05
  done
  case $ready in
    "ready /dev/hidraw"*) export FIELDWISH_SIM_NODE=${ready#ready } ;;
    "ready unplugged") export FIELDWISH_SIM_NODE= ;;
    *) echo "instrument-sim did not start: \"$ready\"" >&2
       cat "$dir/sim.err" >&2
       return 1 ;;
  esac
  exec 7>"$FIELDWISH_SIM_CONTROL"
}

instrument_sim() {
  local tries answer
  echo "$1" >&7
  for tries in $(seq 1 600); do
    answer=$(sed -n "$((sim_answers_seen + 1))p" "$FIELDWISH_SIM_ANSWERS")
    if [ -n "$answer" ]; then
      sim_answers_seen=$((sim_answers_seen + 1))
      echo "$answer"
      return 0
    fi
    sleep 0.05
  done
  echo "instrument-sim: no answer to $1" >&2
  return 1
}

stop_instrument_sim() {
  if [ -n "$sim_pid" ]; then
    echo quit >&7
    exec 7>&-
    wait "$sim_pid" 2>/dev/null
    sim_pid=
  fi
  return 0
}

udevd_pid=
start_udevd() {
  local tries
  # The guest runs its command under chroot, where udevadm would ignore
  # requests; udev on a real machine does not run under one.
  export SYSTEMD_IGNORE_CHROOT=1
  /lib/systemd/systemd-udevd >"$1/udevd.log" 2>&1 &
  udevd_pid=$!
  for tries in $(seq 100); do [ -S /run/udev/control ] && return 0; sleep 0.05; done
  echo "systemd-udevd did not start:" >&2
  cat "$1/udevd.log" >&2
  return 1
}

stop_udevd() {
  if [ -n "$udevd_pid" ]; then
    udevadm control --exit 2>/dev/null
    wait "$udevd_pid" 2>/dev/null
    udevd_pid=
  fi
  return 0
}
