#!/usr/bin/env bash
# make-win-dist.sh WIN_BUILD_DIR VERSION
# Packs the Windows distribution WIN_BUILD_DIR/fieldwish-VERSION-win32.zip:
#   bin/  fieldwish.exe and the Tcl/Tk DLLs it needs (the working directory)
#   lib/  the Tcl and Tk script libraries, and what the scripts ship (awthemes)
#   tcl/  the protected scripts
# Unzipped anywhere and started in bin/, it needs nothing else.
set -eu
build_dir=$(cd "$1" && pwd) version=$2
name=fieldwish-$version-win32
stage=$(mktemp -d "$build_dir/dist.XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/$name
mkdir -p "$root/bin" "$root/lib" "$root/tcl"
cp "$build_dir/bin/fieldwish.exe" "$build_dir/bin/tcl86.dll" "$build_dir/bin/tk86.dll" "$build_dir/bin/zlib1.dll" "$root/bin/"
for dir in tcl8 tcl8.6 tk8.6 awthemes; do
  if [ -d "$build_dir/lib/$dir" ]; then cp -r "$build_dir/lib/$dir" "$root/lib/"; fi
done
cp "$build_dir"/tcl/*.tin "$root/tcl/"
rm -f "$build_dir/$name.zip"
(cd "$stage" && zip -q -r -X "$build_dir/$name.zip" "$name")
echo "$build_dir/$name.zip"
