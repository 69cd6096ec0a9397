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
work=$(mktemp -d /tmp/hidvm-bench.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/tcl"
cp "$build_dir"/tcl/*.tin "$work/tcl/"

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 1 400); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"

mkfifo "$work/sim-in"
"$build_dir/bin/instrument-sim" --uhid <"$work/sim-in" >"$work/sim-out" 2>&1 &
pids+=($!)
exec 4>"$work/sim-in"
for _ in $(seq 1 400); do grep -q '^ready' "$work/sim-out" 2>/dev/null && break; sleep 0.05; done
grep -q '^ready /dev/hidraw' "$work/sim-out" || { echo "instrument-sim did not start" >&2; cat "$work/sim-out" >&2; exit 1; }

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
