#!/usr/bin/env bash
# udev-guest.sh BUILD_DIR PACKAGE
# Runs inside the hidvm guest as root (see tests/hidvm): udev running, the
# instrument plugged in through uhid, and the production fieldwish started as
# the unprivileged user nobody to ask HidConnect, before the package is
# installed, after it is installed (its postinst applies the udev rule) and
# after it is purged (its postrm takes the rule back). Exits non-zero unless
# every step answered as expected.
set -u
build_dir=$1 package=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/xvfb.sh"
. "$here/../hidvm/instrument-sim.sh"

work=$(mktemp -d /tmp/fieldwish-udev.XXXXXX)
cleanup() {
  stop_instrument_sim
  stop_udevd
  stop_private_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
expect() {   # expect WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    printf '%-58s %s\n' "$1" "$3"
  else
    printf '%-58s %s   FAILED, expected %s\n' "$1" "$3" "$2"
    failures=$((failures + 1))
  fi
}

# A deployment whose boot script does nothing, readable by nobody: the shell
# under test is the installed one; only its instrument access matters here.
mkdir -p "$work/deploy/bin" "$work/deploy/tcl"
echo 'wm withdraw .' >"$work/boot.tcl"
"$build_dir/bin/tinpack" encrypt "$work/boot.tcl" "$work/deploy/tcl/tovGUI.tin" >/dev/null
cat >"$work/deploy/probe.tcl" <<'TCL'
set connected [HidConnect]
set reply [expr {$connected ? [string range [HidCommand 73] 0 4] : "-"}]
puts "$connected $reply"
exit 0
TCL
chmod -R a+rX "$work"

start_private_xvfb "$work/xvfb.log" 20 || exit 1

# ask SHELL USER-GROUPS: runs SHELL as nobody with the given supplementary
# groups; answers "1 49 01" (connected, identify reply) or "0 -".
ask() {
  (cd "$work/deploy/bin" &&
   setpriv --reuid=nobody --regid=nogroup --groups="$2" -- "$1" ../probe.tcl 2>/dev/null </dev/null) |
    tail -n 1
}
node_access() { stat -c '%U:%G %a' "$node"; }
node_tags() {
  udevadm info --query=property --name="$node" | sed -n 's/^CURRENT_TAGS=//p' | grep -o ':uaccess:' || echo none
}

start_udevd "$work" || exit 1
start_instrument_sim "$build_dir" uhid "$work" || exit 1
node=$FIELDWISH_SIM_NODE
udevadm settle

shell=$build_dir/bin/fieldwish
expect "without the rule: node owner, group, mode" "root:root 600" "$(node_access)"
expect "without the rule: nobody (in plugdev) connects" "0 -" "$(ask "$shell" plugdev)"

# The guest's dpkg keeps a database of its own: the host's may be half-way
# through another installation (the machine is shared), and is read here as
# it is at that moment. Its dependencies are the host's, checked elsewhere;
# no other package's triggers run (man-db's would index every manual page
# over 9p for minutes).
admin=$work/dpkg
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status" "$admin/available"
dpkg_guest=(dpkg "--admindir=$admin" --force-depends)
"${dpkg_guest[@]}" -i "$package" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
udevadm settle
shell=/usr/lib/fieldwish/bin/fieldwish
expect "installed: node owner, group, mode" "root:plugdev 660" "$(node_access)"
expect "installed: node tagged for the seat's user" ":uaccess:" "$(node_tags)"
expect "installed: nobody (in plugdev) connects, identifies" "1 49 01" "$(ask "$shell" plugdev)"
expect "installed: nobody (not in plugdev, no seat) connects" "0 -" "$(ask "$shell" nogroup)"

"${dpkg_guest[@]}" --purge fieldwish >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
udevadm settle
shell=$build_dir/bin/fieldwish
expect "purged: node owner, group, mode" "root:root 600" "$(node_access)"
expect "purged: nobody (in plugdev) connects" "0 -" "$(ask "$shell" plugdev)"

[ "$failures" -eq 0 ] || { echo "--- udevd log"; cat "$work/udevd.log"; }
exit $((failures > 0))
