#!/usr/bin/env bash
# dist-boot.sh WIN_BUILD_DIR ZIP
# Unzips the distribution into a fresh directory (after checking that it holds
# none of the build's tools), makes a fresh Wine prefix,
# and starts bin/fieldwish.exe in bin/ with a probe script after the boot,
# which starts the dashboard the boot loaded: its window and the shipped theme.
set -u
build_dir=$(cd "$1" && pwd) zip=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/xvfb.sh"
. "$here/wine-env.sh"
work=$(mktemp -d /tmp/fieldwish-dist.XXXXXX)
trap end_wine_run EXIT
(cd "$work" && unzip -q "$zip") || exit 1
root=$(ls -d "$work"/fieldwish-*-win32)
# The build's own tools never ship: tinpack carries the key.
if unzip -Z1 "$zip" | grep -E '(tinpack|instrument-sim|fieldwish-sim|_test)\.exe$|\.a$'; then
  echo "dist_boot: the distribution carries build tools or test programs (above)" >&2
  exit 1
fi
mkdir -p "$work/prefix"
start_private_xvfb "$work/xvfb.log" || exit 1
start_wine_server "$work/prefix" || exit 1
# With a script after it the boot loads the dashboard without starting it
# (tovGUI.itcl); the probe starts it as a plain start does.
cat >"$work/probe.tcl" <<'PROBE'
::dash::app::start
update
puts "title=[wm title .] theme=[ttk::style theme use] widgets=[expr {[llength [winfo children .]] > 0}]"
exit 0
PROBE
cd "$root/bin"
wine fieldwish.exe "$work/probe.tcl" </dev/null >"$work/out.txt" 2>"$work/err.txt"
status=$?
cat "$work/out.txt" "$work/err.txt"
expected="title=fieldwish dashboard theme=awdark widgets=1"
if [ "$status" -ne 0 ] || [ "$(tr -d '\r' <"$work/out.txt")" != "$expected" ]; then
  echo "dist_boot: expected \"$expected\" and status 0, got status $status" >&2
  exit 1
fi
echo "dist_boot: the unzipped distribution boots the dashboard"
