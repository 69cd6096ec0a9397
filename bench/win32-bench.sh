#!/usr/bin/env bash
# win32-bench.sh [BUILD_DIR] [RUNS]
# The Windows build under Wine against what it is compared with:
#  - start-up to the event loop: fieldwish.exe booting the dashboard against
#    wish86.exe of the same Tcl/Tk build sourcing the same plain dashboard
#    script (bench/startup.tcl, as the Linux start-up benchmark), alternating,
#    one wineserver for the run, one private Xvfb;
#  - ScriptCipher's throughput, the i686 Windows build against the Linux one
#    (bench/cipher_speed.cpp in both trees);
#  - CryptSource of a 500 KB protected script, Windows against Linux.
# Figures are printed, never judged.
set -eu
build_dir=$(cd "${1:-build}" && pwd)
runs=${2:-15}
win_dir=$build_dir/win32
here=$(cd "$(dirname "$(readlink -f "$0")")" && pwd)
. "$here/../tools/xvfb.sh"
. "$here/../tests/win32/wine-env.sh"

work=$(mktemp -d /tmp/fieldwish-winbench.XXXXXX)
trap 'stop_wine_server; stop_private_xvfb; rm -rf "$work"' EXIT
start_private_xvfb "$work/xvfb.log"
start_wine_server "$win_dir"

# fieldwish.exe in a distribution's layout; wish86.exe in the Tcl/Tk build's.
mkdir -p "$work/fw/bin" "$work/fw/tcl"
cp "$win_dir"/bin/fieldwish.exe "$win_dir"/bin/*.dll "$work/fw/bin/"
ln -s "$win_dir/lib" "$work/fw/lib"
cp "$win_dir"/tcl/*.tin "$work/fw/tcl/"
wish_bin=$(readlink -f "$win_dir/../win32-deps/current")/tcltk/bin

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
: >"$work/fieldwish.times"
: >"$work/wish.times"
for ((i = 0; i < runs; ++i)); do
  start=$(now)
  (cd "$work/fw/bin" && wine fieldwish.exe "$here/startup.tcl" </dev/null >/dev/null 2>&1)
  echo $(( ($(now) - start) / 1000000 )) >>"$work/fieldwish.times"
  start=$(now)
  (cd "$wish_bin" && wine wish86.exe "$here/startup.tcl" "$here/../scripts/tovGUI.itcl" </dev/null >/dev/null 2>&1)
  echo $(( ($(now) - start) / 1000000 )) >>"$work/wish.times"
done
fw=$(median <"$work/fieldwish.times")
wish=$(median <"$work/wish.times")
echo "start-up under Wine, median of $runs: fieldwish.exe ${fw} ms, wish86.exe ${wish} ms," \
  "ratio $(awk -v a="$fw" -v b="$wish" 'BEGIN {printf "%.3f", a / b}')"

echo "cipher, Linux build (x86-64):"
"$build_dir/bench/cipher_speed" 200 | sed 's/^/  /'
echo "cipher, Windows build (i686, under Wine):"
(cd "$work" && wine "$win_dir/bench/cipher_speed.exe" 200 </dev/null >"$work/cipher.txt" 2>&1)
tr -d '\r' <"$work/cipher.txt" | sed 's/^/  /'

# CryptSource of the largest script the buffer takes, 200 times, in each shell.
text=$(printf 'set big 1;%*s' 499982 '')
printf '%s' "$text" >"$work/big.itcl"
"$build_dir/bin/tinpack" encrypt "$work/big.itcl" "$work/big.tin" >/dev/null
cat >"$work/cs.tcl" <<EOF
set t [time {CryptSource $work/big.itcl} 200]
puts "  [expr {[lindex \$t 0] / 1000.0}] ms per 500 KB CryptSource"
exit 0
EOF
echo "CryptSource, Linux build:"
(cd "$work/fw/bin" && "$build_dir/bin/fieldwish" "$work/cs.tcl" </dev/null 2>/dev/null) || true
echo "CryptSource, Windows build (under Wine):"
(cd "$work/fw/bin" && wine fieldwish.exe "$work/cs.tcl" </dev/null >"$work/cs.txt" 2>&1) || true
tr -d '\r' <"$work/cs.txt"
