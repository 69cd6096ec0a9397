#!/bin/sh
# /usr/bin/fieldwish: starts the dashboard's shell in its own folder, where it
# finds its scripts at ../tcl, and passes the mode word on ("auto",
# "installation"). The folder is found from this script's own place, so that
# the package works unpacked into another root too.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../lib/fieldwish/bin" || exit 1
exec ./fieldwish "$@"
