#!/usr/bin/env bash
# lnkread.sh PREFIX LNKREAD_EXE OUTPUT LINK...
# Runs lnkread.exe under Wine in the 32-bit prefix PREFIX (made on first use)
# and leaves its UTF-8 report in OUTPUT. The prefix's wineserver is kept for
# the run and stopped at the end. Exit status: lnkread's.
set -u
prefix=$1 exe=$2 output=$3
shift 3
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A console program needs no display; a wineserver started without one keeps
# running without one.
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$prefix"
wineserver -p >/dev/null 2>&1 </dev/null
if [ ! -f "$prefix/system.reg" ]; then
  wineboot -i >"$prefix.boot.log" 2>&1 </dev/null
fi
# Output to files, not pipes: Wine's helper processes keep an inherited pipe open.
status=0
wine "$exe" "$output" "$@" >"$output.stdout" 2>&1 </dev/null || status=$?
wineserver -k
exit $status
