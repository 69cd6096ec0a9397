#!/usr/bin/env bash
# Starts the dashboard from the build tree, with build/bin as the working
# directory so that ../tcl holds its scripts, as in an installed copy.
set -eu
build_dir=$(cd "${1:-build}" && pwd)
shell=$build_dir/bin/fieldwish
[ -x "$build_dir/bin/fieldwish-sim" ] && shell=$build_dir/bin/fieldwish-sim
cd "$build_dir/bin"
if [ -z "${DISPLAY:-}" ]; then
  echo "run-dashboard: no DISPLAY; starting the dashboard on a virtual display (xvfb-run)" >&2
  exec xvfb-run -a "$shell"
fi
exec "$shell"
