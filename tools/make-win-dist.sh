#!/usr/bin/env bash
# make-win-dist.sh WIN_BUILD_DIR VERSION
# Packs the Windows distribution WIN_BUILD_DIR/fieldwish-VERSION-win32.zip:
# the files the product's list names (WIN_BUILD_DIR/fieldwish-files.txt,
# written by the build: cmake/Product.cmake), and the list itself, which the
# installer copies by:
#   bin/  fieldwish.exe and the Tcl/Tk DLLs it needs (the working directory)
#   lib/  the Tcl and Tk script libraries, the theme (awthemes) and tcllib's SHA-256
#   tcl/  the protected scripts, and the check of a recording (check-recording.tcl)
# Unzipped anywhere and started in bin/, it needs nothing else.
set -eu
build_dir=$(cd "$1" && pwd) version=$2
list=$build_dir/fieldwish-files.txt
[ -f "$list" ] || { echo "make-win-dist: $list is missing (the build writes it)" >&2; exit 1; }
name=fieldwish-$version-win32
stage=$(mktemp -d "$build_dir/dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root"
while IFS= read -r path; do
  [ -n "$path" ] || continue
  mkdir -p "$root/$(dirname "$path")"
  cp "$build_dir/$path" "$root/$path"
done <"$list"
cp "$list" "$root/"
rm -f "$build_dir/$name.zip"
(cd "$stage" && zip -q -r -X "$build_dir/$name.zip" "$name")
echo "$build_dir/$name.zip"
