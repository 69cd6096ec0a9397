#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -eu
packages=(
  cmake make g++ pkg-config
  tcl8.6-dev tk8.6-dev libx11-dev
  tk8.6
  libhidapi-dev libudev-dev
  libgtest-dev libbenchmark-dev libssl-dev
  # The sanitizer tree and the fuzz targets: Clang with its runtimes (libFuzzer, ASan, UBSan),
  # and llvm-symbolizer, without which the reports (and the leak suppressions) have no function names.
  clang libclang-rt-14-dev llvm
  xvfb xauth x11-utils
  tcllib tklib liblnk-utils tcl-awthemes libtk-img
  qemu-system-x86 linux-image-amd64 busybox-static xz-utils cpio
  # The Debian package: icons rendered from their vector source, the package
  # checks, and udev to show the instrument rule at work in the VM.
  librsvg2-bin lintian desktop-file-utils dpkg-dev udev
  # The Windows build: the i686 cross compiler, and Wine (32-bit) to run what it makes.
  g++-mingw-w64-i686 wine wine32:i386
  # ... zlib for its Tcl, the icon group (icotool; the PNGs come from
  # rsvg-convert, the sources from apt-get source of dpkg-dev, both above) and
  # zip for the distribution.
  libz-mingw-w64-dev icoutils zip
)
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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$apt update -q
$apt install -y -q --no-install-recommends "${missing[@]}"
