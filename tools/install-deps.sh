#!/usr/bin/env bash
# install-deps.sh [GROUP...]
# Installs the Debian packages of the named groups, those that are missing.
#   run    what the Linux dashboard needs to build and run (make run)
#   check  run, and what the Linux tree's full build and its unit and tcltest
#          suites need (make check)
#   test   everything: check, and the sanitizer tree, the VM, the Debian
#          package's checks, the Windows build and Wine (make test; the default)
set -eu
run_packages=(
  cmake make g++ pkg-config
  tcl8.6-dev tk8.6-dev libx11-dev
  libhidapi-dev libudev-dev
  # The themes and snapshots (Img); xvfb-run where there is no display.
  tcl-awthemes libtk-img xvfb xauth
  # The recordings' SHA-256 (tcllib's, shipped in lib/sha256).
  tcllib
)
check_packages=(
  libgtest-dev libbenchmark-dev libssl-dev
  # The icons rendered from their vector source.
  librsvg2-bin
  tklib liblnk-utils
  # The installer's launchers read as a desktop reads them: desktop-file-validate, GLib's gio.
  desktop-file-utils libglib2.0-bin
  # Steps of the system's clock for one process (tests/tcl/clock_step.test).
  faketime
)
test_packages=(
  # wish8.6, the start-up benchmark's reference.
  tk8.6
  # The sanitizer tree and the fuzz targets: Clang with its runtimes (libFuzzer, ASan, UBSan),
  # and llvm-symbolizer, without which the reports (and the leak suppressions) have no function names.
  clang libclang-rt-14-dev llvm
  qemu-system-x86 linux-image-amd64 busybox-static xz-utils cpio
  # The Debian package's checks, and udev to show the instrument rule at work in the VM.
  lintian dpkg-dev udev x11-utils
  # The Windows build: the i686 cross compiler, and Wine (32-bit) to run what it makes.
  g++-mingw-w64-i686 wine wine32:i386
  # ... zlib for its Tcl, the icon group (icotool; the PNGs come from
  # rsvg-convert, the sources from apt-get source of dpkg-dev, both above) and
  # zip for the distribution.
  libz-mingw-w64-dev icoutils zip
  # A recording read by pandas' read_csv with its default arguments.
  python3-pandas
)

[ $# -gt 0 ] || set -- test
packages=()
for group in "$@"; do
  case $group in
    run) packages+=("${run_packages[@]}") ;;
    check) packages+=("${run_packages[@]}" "${check_packages[@]}") ;;
    test) packages+=("${run_packages[@]}" "${check_packages[@]}" "${test_packages[@]}") ;;
    *) echo "install-deps: no group \"$group\" (run, check or test)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
export DEBIAN_FRONTEND=noninteractive
# Several builds may install at once: wait for dpkg's lock rather than fail.
apt="$sudo apt-get -o DPkg::Lock::Timeout=900"
# wine32 is an i386 package.
if [[ " ${missing[*]} " == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$apt update -q
$apt install -y -q --no-install-recommends "${missing[@]}"
