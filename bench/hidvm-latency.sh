#!/usr/bin/env bash
# hidvm-latency.sh BUILD_DIR [COUNT] [ROUNDS]
# Round-trip latency of HidCommand in the production fieldwish against the
# uhid instrument inside the hidvm guest, against hidvm_roundtrip (the same
# hid_write + non-blocking hid_read loop in a minimal C program) on the same
# device in the same boot. The two alternate ROUNDS times, COUNT exchanges
# each; prints each run's median and mean and the ratios.
set -u
# Run as BUILD_DIR/bench/hidvm_latency (make bench), the build is the link's.
build_dir=$(cd "${1:-$(dirname "$0")/..}" && pwd)
count=${2:-300} rounds=${3:-3}
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
source_dir=$(cd "$here/.." && pwd)

if [ "${HIDVM_GUEST:-}" != 1 ]; then
  exec env HIDVM_GUEST=1 "$source_dir/tests/hidvm/hidvm-run" -C "$build_dir/hidvm-cache" -t 900 \
    -e HIDVM_GUEST -- "$here/hidvm-latency.sh" "$build_dir" "$count" "$rounds"
fi

# ---- inside the guest ----
. "$source_dir/tools/xvfb.sh"
. "$source_dir/tools/deployment.sh"
. "$source_dir/tests/hidvm/instrument-sim.sh"
work=$(mktemp -d /tmp/hidvm-bench.XXXXXX)
cleanup() {
  stop_instrument_sim
  stop_private_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
deploy_build "$build_dir" "$work"
# Software emulation is slow: give the server time.
start_private_xvfb "$work/xvfb.log" 20 || exit 1
start_instrument_sim "$build_dir" uhid "$work" || exit 1

reference=$build_dir/bench/helpers/hidvm_roundtrip
cd "$work/bin"
echo "HidCommand round trip against the uhid instrument (emulated guest, $count exchanges per run)"
printf '%-28s %12s %12s\n' run "median (us)" "mean (us)"
c_medians=() c_means=() t_medians=() t_means=()
for round in $(seq 1 "$rounds"); do
  read -r median mean < <("$reference" "$count") || exit 1
  printf '%-28s %12s %12s\n' "C hid_write/hid_read #$round" "$median" "$mean"
  c_medians+=("$median"); c_means+=("$mean")
  read -r median mean < <(HIDVM_BENCH_COUNT=$count "$build_dir/bin/fieldwish" \
      "$here/hidvm_latency.tcl" 2>&1 >/dev/null </dev/null | tail -n 1) || exit 1
  printf '%-28s %12s %12s\n' "fieldwish HidCommand #$round" "$median" "$mean"
  t_medians+=("$median"); t_means+=("$mean")
done
sum() { local s=0; for v in "$@"; do s=$((s + v)); done; echo "$s"; }
awk -v cm="$(sum "${c_medians[@]}")" -v tm="$(sum "${t_medians[@]}")" \
    -v ca="$(sum "${c_means[@]}")" -v ta="$(sum "${t_means[@]}")" 'BEGIN {
  printf "ratio HidCommand / C: median %.3f, mean %.3f (goal <= 1.1)\n", tm / cm, ta / ca
}'
