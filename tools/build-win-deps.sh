#!/usr/bin/env bash
# build-win-deps.sh DEPS_DIR
# Cross-builds Tcl/Tk 8.6 for 32-bit Windows (mingw-w64 i686) from Debian's
# source packages and unpacks hidapi's source beside them, into DEPS_DIR.
# The result is kept under DEPS_DIR/<key>, the key naming the source versions
# and the compiler, so a second build with the same versions does nothing.
# Afterwards DEPS_DIR/current points at it:
#   current/tcltk/{bin,include,lib}   Tcl/Tk installed (DLLs, import libraries,
#                                     script libraries, wish86.exe, tclsh86.exe)
#   current/hidapi/                   hidapi's sources (windows/hid.c, hidapi/hidapi.h)
set -eu
deps_dir=$1
host=i686-w64-mingw32
mkdir -p "$deps_dir"
deps_dir=$(cd "$deps_dir" && pwd)

# Source versions: those of the installed Linux development packages (the
# same source packages), without a binary-only rebuild suffix.
source_version() {
  dpkg-query -W -f='${source:Version}' "$1" | sed 's/+b[0-9]*$//'
}
tcl_version=$(source_version tcl8.6-dev)
tk_version=$(source_version tk8.6-dev)
hidapi_version=$(source_version libhidapi-dev)
gcc_version=$($host-gcc -dumpversion)
key="tcl${tcl_version}_tk${tk_version}_hidapi${hidapi_version}_gcc${gcc_version}"
key=$(printf '%s' "$key" | tr -c 'A-Za-z0-9._+-' '_')
cache="$deps_dir/$key"

if [ -f "$cache/complete" ]; then
  ln -sfn "$key" "$deps_dir/current"
  exit 0
fi

echo "build-win-deps: building $key"
rm -rf "$cache"
mkdir -p "$cache/src"
# apt-get source needs deb-src entries. They are this script's own: a
# sources list and package lists under the cache, made from the machine's deb
# entries for its release (the same mirrors), so that nothing is added to the
# machine's apt configuration or its package lists.
apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
. /etc/os-release
release=${VERSION_CODENAME:?"/etc/os-release names no release"}
deb_entries() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$file" ] || continue
    # deb [options] URI SUITE COMPONENT...
    sed -E -n 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//p' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -r "$file" ] || continue
    # deb822 stanzas: one "URI SUITE COMPONENT..." per URI and suite.
    awk 'function flush() {
           if (types ~ /(^| )deb( |$)/ && enabled != "no")
             for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print uri[u], suite[s], components
           types = ""; enabled = ""; components = ""; nu = 0; ns = 0
         }
         /^[[:space:]]*$/ { flush(); next }
         /^#/ { next }
         { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ /, "") }
         key == "types" { types = $0 }
         key == "enabled" { enabled = tolower($0) }
         key == "uris" { nu = split($0, uri, " ") }
         key == "suites" { ns = split($0, suite, " ") }
         key == "components" { components = $0 }
         END { flush() }' "$file"
  done
}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
signed_by=
[ -r "$keyring" ] && signed_by="[signed-by=$keyring] "
deb_entries | awk -v release="$release" '$2 == release || index($2, release "-") == 1' | sort -u |
  sed "s|^|deb-src $signed_by|" >"$apt_dir/sources.list"
if [ ! -s "$apt_dir/sources.list" ]; then
  echo "build-win-deps: the machine's apt sources have no deb entry for $release to take the sources from" >&2
  exit 1
fi
apt_own=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
         -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
         -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root)
apt-get "${apt_own[@]}" update -q >"$cache/src/apt-update.log" 2>&1 || {
  cat "$cache/src/apt-update.log" >&2
  echo "build-win-deps: apt-get update of $apt_dir/sources.list failed" >&2
  exit 1
}
(cd "$cache/src" && apt-get "${apt_own[@]}" source -q "tcl8.6=$tcl_version" "tk8.6=$tk_version" \
   "hidapi=$hidapi_version" >apt-source.log 2>&1) || {
  cat "$cache/src/apt-source.log" >&2
  exit 1
}
# The lists served only this fetch.
rm -rf "$apt_dir"
tcl_src=$(find "$cache/src" -maxdepth 1 -type d -name 'tcl8.6-*' | head -n 1)
tk_src=$(find "$cache/src" -maxdepth 1 -type d -name 'tk8.6-*' | head -n 1)
hidapi_src=$(find "$cache/src" -maxdepth 1 -type d -name 'hidapi-*' | head -n 1)

# Debian's trimmed Tcl source has no prebuilt zlib for Windows; mingw's zlib
# stands in for it.
zlib_dir=/usr/$host/lib
mkdir -p "$tcl_src/compat/zlib/win32"
cp "$zlib_dir/zlib1.dll" "$tcl_src/compat/zlib/win32/zlib1.dll"
cp "$zlib_dir/libz.dll.a" "$tcl_src/compat/zlib/win32/zdll.lib"

prefix="$cache/tcltk"
jobs=${JOBS:-2}
log="$cache/build.log"
build() {
  local name=$1 src=$2; shift 2
  mkdir -p "$cache/build-$name"
  (cd "$cache/build-$name" &&
   "$src/win/configure" --host=$host --build=x86_64-pc-linux-gnu --prefix="$prefix" "$@" &&
   make -j"$jobs" && make install) >>"$log" 2>&1 || {
    tail -n 40 "$log" >&2
    echo "build-win-deps: building $name failed; the whole log is $log" >&2
    exit 1
  }
}
build tcl "$tcl_src"
build tk "$tk_src" --with-tcl="$cache/build-tcl"
# The shell needs zlib beside Tcl.
cp "$zlib_dir/zlib1.dll" "$prefix/bin/"

mkdir -p "$cache/hidapi"
cp -r "$hidapi_src/windows" "$hidapi_src/hidapi" "$hidapi_src/LICENSE"* "$cache/hidapi/"
rm -rf "$cache/build-tcl/"*.o "$cache/build-tk/"*.o
touch "$cache/complete"
ln -sfn "$key" "$deps_dir/current"
echo "build-win-deps: done ($key)"
