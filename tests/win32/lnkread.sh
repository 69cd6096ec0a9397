#!/usr/bin/env bash
# lnkread.sh DIR LNKREAD_EXE OUTPUT LINK...
# Runs lnkread.exe under Wine in the 32-bit prefix DIR/wineprefix (made on
# first use) and leaves its UTF-8 report in OUTPUT. Exit status: lnkread's.
set -u
dir=$1 exe=$2 output=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
# A console program needs no display; a wineserver started without one keeps
# running without one.
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$dir"
trap stop_wine_server EXIT
start_wine_server "$dir" || exit 1
# Output to files, not pipes: Wine's helper processes keep an inherited pipe open.
status=0
wine "$exe" "$output" "$@" >"$output.stdout" 2>&1 </dev/null || status=$?
exit $status
