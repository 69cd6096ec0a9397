#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -eu
packages=(
  cmake make g++ pkg-config
  tcl8.6-dev tk8.6-dev libx11-dev
  tk8.6
  libhidapi-dev libudev-dev
  libgtest-dev libbenchmark-dev libssl-dev
  xvfb xauth x11-utils
  tcllib tklib liblnk-utils
  qemu-system-x86 linux-image-amd64 busybox-static xz-utils cpio
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
# Several builds may install at once (and CI runs beside nothing): wait for dpkg's lock.
apt="$sudo apt-get -o DPkg::Lock::Timeout=900"
$apt update -q
$apt install -y -q --no-install-recommends "${missing[@]}"
