#!/usr/bin/env bash
# soak-recording.sh [BUILD_DIR] [DAYS]   (also BUILD_DIR/bench/soak-recording)
# A simulated week of unattended recording (bench/recording_soak.tcl) in
# fieldwish-sim under a private Xvfb. As root the recording folder is a tmpfs
# that the soak fills for five simulated minutes (a full disk); otherwise a
# folder in /tmp, without the full disk. Figures on standard error; the exit
# status says whether every check held.
set -eu
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tools/deployment.sh"

work=$(mktemp -d /tmp/fieldwish-recording-soak.XXXXXX)
folder=$work/recordings
mkdir -p "$folder"
tmpfs_mb=
cleanup() {
  stop_private_xvfb
  if [ -n "$tmpfs_mb" ]; then umount -l "$folder" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A week at 10 Hz is about 400 MB of rows.
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=600m tmpfs "$folder" 2>/dev/null; then
  tmpfs_mb=600
else
  echo "not root: no tmpfs, so no full disk in this soak" >&2
fi
deploy_build "$build_dir" "$work" lib
start_private_xvfb "$work/xvfb.log"

cd "$work/bin"
SOAK_DAYS=${2:-7} SOAK_DIR=$folder SOAK_TMPFS_MB=$tmpfs_mb \
  "$build_dir/bin/fieldwish-sim" "$here/recording_soak.tcl" "$work" </dev/null >/dev/null
