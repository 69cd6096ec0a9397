#!/usr/bin/env bash
# clean-build.sh BUILD_DIR
# Removes everything under BUILD_DIR but the caches that are slow to make
# again: win32-deps (the Windows Tcl/Tk, built from source) and hidvm-cache
# (the VM's kernel and initramfs), wherever a tree keeps one.
set -eu
build_dir=$1
[ -d "$build_dir" ] || exit 0

is_cache() { case ${1##*/} in win32-deps | hidvm-cache) return 0 ;; esac; return 1; }
holds_cache() {
  [ -n "$(find "$1" -mindepth 1 -type d \( -name win32-deps -o -name hidvm-cache \) -print -quit)" ]
}
clean() {
  local entry
  for entry in "$1"/* "$1"/.[!.]* "$1"/..?*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    is_cache "$entry" && continue
    if [ -d "$entry" ] && [ ! -L "$entry" ] && holds_cache "$entry"; then
      clean "$entry"
    else
      rm -rf -- "$entry"
    fi
  done
}
clean "$build_dir"
