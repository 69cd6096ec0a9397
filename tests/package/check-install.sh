#!/usr/bin/env bash
# check-install.sh BUILD_DIR PACKAGE
# Installs the package into a throwaway root with dpkg (maintainer scripts
# run outside any chroot, with DPKG_ROOT set), starts the installed dashboard
# the way the desktop entry and its auto action do, the installer through
# /usr/bin/fieldwish with its mode word, starts the dashboard once more in
# auto mode against the virtual instrument (fieldwish-sim, dropped into the
# installed bin for the run: it is never shipped) until it has recorded
# frames, then purges the package and checks that nothing but the user's own
# files is left.
set -u
build_dir=$1 package=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/xvfb.sh"

work=$(mktemp -d /tmp/fieldwish-pkginstall.XXXXXX)
running=
cleanup() {
  [ -n "$running" ] && kill "$running" 2>/dev/null && wait "$running" 2>/dev/null
  stop_private_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$work/home"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The root is empty: its dependencies are this machine's, checked elsewhere.
dpkg_root=(dpkg "--root=$root" --force-depends --force-script-chrootless)
[ "$(id -u)" -eq 0 ] || dpkg_root+=(--force-not-root)

"${dpkg_root[@]}" -i "$package" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; exit 1; }
status=$(dpkg-query "--root=$root" -W -f '${Status}' fieldwish)
[ "$status" = "install ok installed" ] || fail "after dpkg -i the package is \"$status\""
(cd "$root" && find . -mindepth 1 -not -path './var/lib/dpkg*' | sort) >"$work/installed"

start_private_xvfb "$work/xvfb.log" || exit 1
export HOME=$work/home

# ---- the desktop entry -------------------------------------------------------
entry=$root/usr/share/applications/fieldwish.desktop
entry_value() { sed -n "/^\[$1\]/,/^\[/ s/^$2=//p" "$entry"; }
workdir=$(entry_value "Desktop Entry" Path)

# Runs an Exec line of the entry from its Path, both inside the root, and
# waits for a top-level window of the shell's class. Answers when it is up
# and the shell still runs.
start_entry() {
  local what=$1 exec_line=$2 words up=0
  read -r -a words <<<"$exec_line"
  words[0]=$root${words[0]}
  (cd "$root$workdir" && exec "${words[@]}" >"$work/$what.out" 2>&1 </dev/null) &
  running=$!
  for _ in $(seq 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '("fieldwish" "Fieldwish")'; then up=1; break; fi
    kill -0 "$running" 2>/dev/null || break
    sleep 0.1
  done
  sleep 0.5
  if [ "$up" -eq 1 ] && kill -0 "$running" 2>/dev/null; then
    echo "$what: the dashboard's window is up"
  else
    fail "$what: no dashboard window; the shell said:"; cat "$work/$what.out"
  fi
  kill "$running" 2>/dev/null; wait "$running" 2>/dev/null
  running=
}
start_entry "desktop entry" "$(entry_value "Desktop Entry" Exec)"
start_entry "auto action" "$(entry_value "Desktop Action auto" Exec)"

# ---- fieldwish on the PATH ------------------------------------------------------
# /usr/bin/fieldwish starts the shell in its folder from anywhere and passes
# the mode word on: "installation" opens the installer's window.
(cd / && exec "$root/usr/bin/fieldwish" installation >"$work/path.out" 2>&1 </dev/null) &
running=$!
up=0
for _ in $(seq 150); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"fieldwish installation": ("fieldwish" "Fieldwish")'; then up=1; break; fi
  kill -0 "$running" 2>/dev/null || break
  sleep 0.1
done
if [ "$up" -eq 1 ]; then
  echo "fieldwish installation (from /usr/bin, started in /): the installer's window is up"
else
  fail "/usr/bin/fieldwish installation opened no installer window; it said:"; cat "$work/path.out"
fi
kill "$running" 2>/dev/null; wait "$running" 2>/dev/null
running=

# ---- the installed dashboard on the virtual instrument -------------------------
# Started as the auto action starts it, the dashboard records what the
# instrument sends into the user's folder: frames 0, 1, ... of a fresh
# instrument, with the sequence number in the third column.
cp "$build_dir/bin/fieldwish-sim" "$root$workdir/"
(cd "$root$workdir" && exec ./fieldwish-sim auto >"$work/sim.out" 2>&1 </dev/null) &
running=$!
sequences= csv=
for _ in $(seq 300); do
  # The entry's auto action above has left a recording without frames; the
  # events of a recording sit beside it in NAME.events.csv.
  for csv in $(find "$HOME" -name '*.csv' ! -name '*.events.csv' -newer "$root$workdir/fieldwish-sim" 2>/dev/null); do
    sequences=$(sed -n '2,3p' "$csv" | cut -d, -f3 | tr -d '\r' | tr '\n' ' ')
  done
  [ "$sequences" = "0 1 " ] && break
  kill -0 "$running" 2>/dev/null || break
  sleep 0.1
done
kill "$running" 2>/dev/null; wait "$running" 2>/dev/null
running=
if grep -q 'internal error' "$work/sim.out"; then
  fail "the dashboard reported internal errors:"; grep 'internal error' "$work/sim.out"
fi
if [ "$sequences" = "0 1 " ]; then
  echo "auto start on the virtual instrument: frames 0 and 1 recorded in ${csv#$HOME/}"
else
  fail "auto start on the virtual instrument recorded no frames 0 and 1 (${csv:-no file}: $sequences)"
  tail -n 20 "$work/sim.out"
fi
rm "$root$workdir/fieldwish-sim"

# Nothing was written into the installed tree while it ran.
(cd "$root" && find . -mindepth 1 -not -path './var/lib/dpkg*' | sort) | diff "$work/installed" - ||
  fail "running the dashboard changed the installed files (above)"

# ---- removal ------------------------------------------------------------------
"${dpkg_root[@]}" --purge fieldwish >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge"; }
left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/lib' -not -path './var/lib/dpkg*')
[ -z "$left" ] || fail "left after the purge: $left"
echo "left after the purge: ${left:-nothing}; the user's own files:" $(cd "$HOME" && find . -type f)

[ "$failures" -eq 0 ] && echo "package installation: all checks passed"
exit $((failures > 0))
