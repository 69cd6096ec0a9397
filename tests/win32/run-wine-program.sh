#!/usr/bin/env bash
# run-wine-program.sh WIN_BUILD_DIR PROGRAM [ARG...]
# Runs one Windows console program under Wine in the build tree's prefix and
# exits with its status.
set -u
build_dir=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
trap stop_wine_server EXIT
start_wine_server "$build_dir" || exit 1
work=$(mktemp -d /tmp/fieldwish-wine-unit.XXXXXX)
status=0
# Output to files: Wine's helper processes would hold a pipe open.
(cd "$work" && wine "$@" </dev/null >"$work/out.txt" 2>&1) || status=$?
cat "$work/out.txt"
rm -rf "$work"
exit $status
