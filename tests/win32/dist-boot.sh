#!/usr/bin/env bash
# dist-boot.sh WIN_BUILD_DIR ZIP
# Checks what the distribution carries (none of the build's tools, nothing
# test-only, the icons), unzips it into a fresh folder named with Western
# European and CJK characters, makes a fresh Wine prefix, and starts
# bin/fieldwish.exe in bin/: once with a probe script after the boot, which
# starts the dashboard the boot loaded (its window, the shipped theme and
# icon), and once in auto mode with no script, which must start the dashboard
# by itself, read its settings and record into the folder they name, also one
# with such characters.
set -u
build_dir=$(cd "$1" && pwd) zip=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/xvfb.sh"
. "$here/wine-env.sh"
work=$(mktemp -d /tmp/fieldwish-dist.XXXXXX)
trap end_wine_run EXIT
# The build's own tools never ship: tinpack carries the key; nor do the test
# programs and the cfgmgr32.dll that serves the HID tests under Wine.
unzip -Z1 "$zip" >"$work/contents.txt" || exit 1
if grep -iE '(tinpack|instrument-sim|fieldwish-sim|_test|dismiss_box)\.exe$|\.a$|cfgmgr32\.dll$' "$work/contents.txt"; then
  echo "dist_boot: the distribution carries build tools or test programs (above)" >&2
  exit 1
fi
for size in 16 32 48 256; do
  grep -qx "fieldwish-[^/]*-win32/icons/hicolor/${size}x$size/apps/fieldwish.png" "$work/contents.txt" ||
    { echo "dist_boot: no ${size}x$size icon in the distribution" >&2; exit 1; }
done
unpacked="$work/Jürgen/Messung 温度"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zip") || exit 1
root=$(ls -d "$unpacked"/fieldwish-*-win32)
mkdir -p "$work/prefix"
start_private_xvfb "$work/xvfb.log" || exit 1
start_wine_server "$work/prefix" || exit 1
# With a script after it the boot loads the dashboard without starting it
# (tovGUI.itcl); the probe starts it as a plain start does.
cat >"$work/probe.tcl" <<'PROBE'
::dash::app::start
update
puts "title=[wm title .] theme=[ttk::style theme use] widgets=[expr {[llength [winfo children .]] > 0}] icons=[llength [::dash::theme::iconImages]]"
exit 0
PROBE
cd "$root/bin"
wine fieldwish.exe "$work/probe.tcl" </dev/null >"$work/out.txt" 2>"$work/err.txt"
status=$?
cat "$work/out.txt" "$work/err.txt"
expected="title=fieldwish dashboard theme=awdark widgets=1 icons=5"
if [ "$status" -ne 0 ] || [ "$(tr -d '\r' <"$work/out.txt")" != "$expected" ]; then
  echo "dist_boot: expected \"$expected\" and status 0, got status $status" >&2
  exit 1
fi
echo "dist_boot: the unzipped distribution boots the dashboard"

# The plain boot starts the dashboard only when nothing follows it on the
# command line, which it tells by its own path: that must come through whole.
recordings="$unpacked/Aufnahmen 記録"
settings="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/fieldwish"
mkdir -p "$settings"
printf 'recordDir {Z:%s}\n' "$recordings" >"$settings/settings.txt"
wine fieldwish.exe auto </dev/null >"$work/auto-out.txt" 2>"$work/auto-err.txt" &
auto=$!
for _ in $(seq 1 600); do
  ls "$recordings"/fieldwish_*.csv >/dev/null 2>&1 && break
  kill -0 "$auto" 2>/dev/null || break
  sleep 0.1
done
csv=$(ls "$recordings"/fieldwish_*.csv 2>/dev/null | head -n 1)
kill "$auto" 2>/dev/null
wait "$auto" 2>/dev/null
# The file starts with the byte order mark that Excel needs.
if [ -z "$csv" ] || ! head -n 1 "$csv" | sed 's/^\xef\xbb\xbf//' | grep -q '^time,run,sequence,Temperature'; then
  cat "$work/auto-out.txt" "$work/auto-err.txt"
  echo "dist_boot: the auto boot from $root recorded nothing into $recordings" >&2
  exit 1
fi
echo "dist_boot: the auto boot records into $recordings"
