#!/usr/bin/env bash
# crypt-source-bench.sh [BUILD_DIR] [RUNS]   (also BUILD_DIR/bench/crypt-source-bench)
# CryptSource of a protected 499,992-byte script against source of the same
# plain script, in one fieldwish process under a private Xvfb.
set -eu
# Run as BUILD_DIR/bench/crypt-source-bench (make bench), the build is the link's.
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
runs=${2:-30}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-bench.XXXXXX)
trap 'stop_private_xvfb; rm -rf "$work"' EXIT
deploy_build "$build_dir" "$work"
mkdir -p "$work/load"
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
"$build_dir/bin/fieldwish" "$here/crypt_source_bench.tcl" "$work/load" "$build_dir/bin/tinpack" "$runs" </dev/null
