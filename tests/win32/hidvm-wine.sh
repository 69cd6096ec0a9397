#!/usr/bin/env bash
# hidvm-wine.sh WIN_BUILD_DIR HOST_BUILD_DIR TEST_FILE
# hidvm-wine.sh WIN_BUILD_DIR HOST_BUILD_DIR --screenshots OUT_DIR
# Runs one tcltest file inside fieldwish.exe under Wine, in the hidvm guest
# (tests/hidvm), against the kernel instrument: instrument-sim --uhid of the
# Linux tree, started before Wine. Wine 8's cfgmgr32 cannot list HID
# interfaces, so the test-only cfgmgr32.dll of this tree goes beside the
# program; Wine's HID bus reads /dev/hidraw* only with its SDL bus switched
# off, and follows unplugging and replugging through udevd's events. After
# the suite, hid_device_test.exe checks the platform layer's own HID queries
# on the same device. A fresh prefix costs most of a minute under emulation:
# one is made on the host once (WIN_BUILD_DIR/hidvm-wineprefix) and the
# guest uses it through its overlay, so that nothing it writes reaches the
# host. With --screenshots the guest runs the dashboard as a user starts it
# instead, connected to the instrument, and OUT_DIR gets a PNG of the screen.
set -u
win_build=$(cd "$1" && pwd) host_build=$(cd "$2" && pwd) test_file=$3 shots=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
prefix=$win_build/hidvm-wineprefix

# Prepares the prefix when it is missing or was made by another Wine.
prepare_prefix() {
  local stamp
  stamp="$(wine --version) Enable SDL 0"
  [ "$(cat "$prefix.stamp" 2>/dev/null)" = "$stamp" ] && return 0
  rm -rf "$prefix" "$prefix.stamp"
  (
    export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    unset DISPLAY WAYLAND_DISPLAY
    wineboot --init </dev/null >"$prefix.log" 2>&1 &&
      wine reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v 'Enable SDL' /t REG_DWORD /d 0 /f \
        </dev/null >>"$prefix.log" 2>&1 &&
      wineserver -w
  ) || { echo "preparing the Wine prefix $prefix failed:" >&2; cat "$prefix.log" >&2; return 1; }
  echo "$stamp" >"$prefix.stamp"
}

if [ "${HIDVM_GUEST:-}" != 1 ]; then
  prepare_prefix || exit 1
  # Under emulation every 32-bit Wine process oopses the guest kernel with
  # qemu's "max" processor; this plainer one serves.
  guest=(env HIDVM_GUEST=1 "$source_dir/tests/hidvm/hidvm-run" ${HIDVM_VERBOSE:+-v} -C "$host_build/hidvm-cache"
         -t 1080 -m 3072 -c qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt,+cx16 -e HIDVM_GUEST --
         "$0" "$win_build" "$host_build" "$test_file")
  [ "$test_file" = --screenshots ] || exec "${guest[@]}"
  # The picture comes back as base64 between two marker lines.
  mkdir -p "$shots" && shots=$(cd "$shots" && pwd)
  "${guest[@]}" >"$shots/guest.txt" || { cat "$shots/guest.txt"; exit 1; }
  sed -n '/^ready /p' "$shots/guest.txt"
  sed -n '/^--- png$/,/^--- end$/{/^---/d;p}' "$shots/guest.txt" | base64 -d >"$shots/wine-dashboard-hid.png"
  rm -f "$shots/guest.txt"
  echo "screenshot: $shots/wine-dashboard-hid.png"
  exit 0
fi

# ---- inside the guest ----
. "$source_dir/tools/xvfb.sh"
. "$here/wine-env.sh"
. "$source_dir/tests/hidvm/instrument-sim.sh"
work=$(mktemp -d /tmp/fieldwish-hidvm-wine.XXXXXX)
trap 'stop_instrument_sim; stop_udevd; end_wine_run' EXIT
start_udevd "$work" || exit 1
start_instrument_sim "$host_build" uhid "$work" || exit 1
export HIDVM_TRANSPORT=uhid FIELDWISH_WINE_PREFIX=$prefix FIELDWISH_WINE_OVERRIDES=cfgmgr32=n,b
export FIELDWISH_WINE_BESIDE="$win_build/tests/win32/cfgmgr32.dll $win_build/tests/win32/hid_device_test.exe"
deploy_windows_build "$win_build" "$work" || exit 1
# Software emulation is slow: give the server time.
start_private_xvfb "$work/xvfb.log" 20 || exit 1
start_wine_server "$win_build" || exit 1
# Under emulation the first windowed program of a Wine session may give up
# before Wine's desktop process is ready: it ends at once with status 1 and
# says nothing. A program that only starts and ends, tried until it has,
# makes sure the session is up before the tests start theirs.
echo 'puts warm; exit 0' >"$work/warm.tcl"
for attempt in 1 2 3; do
  (cd "$work/bin" && exec timeout 300 wine fieldwish.exe "$work/warm.tcl" </dev/null >"$work/warm.txt" 2>&1)
  grep -q warm "$work/warm.txt" && break
  echo "hidvm-wine: Wine's session is not up yet (attempt $attempt)" >&2
done
if [ "$test_file" = --screenshots ]; then
  (cd "$work/bin" && exec wine fieldwish.exe "$here/hidvm_dashboard_view.tcl" "$work" \
     </dev/null >"$work/view.txt" 2>&1) &
  view=$!
  for _ in $(seq 1 3000); do [ -s "$work/ready" ] && break; sleep 0.1; done
  [ -s "$work/ready" ] || { cat "$work/view.txt"; echo "the dashboard never showed its frames" >&2; exit 1; }
  echo "ready $(cat "$work/ready")"
  import -display "$DISPLAY" -window root "$work/screen.png"
  touch "$work/done"
  wait "$view"
  echo "--- png"; base64 "$work/screen.png"; echo "--- end"
  exit 0
fi
status=0
FIELDWISH_WINE_SUITE_SECONDS=600 run_wine_suite "$win_build" fieldwish.exe "$test_file" "$work" || status=$?
# Then the platform layer's own HID queries, on the same server.
(cd "$work/bin" && exec wine hid_device_test.exe </dev/null >"$work/units.txt" 2>&1) || status=$?
cat "$work/units.txt"
exit $status
