#!/usr/bin/env bash
# check-contents.sh BUILD_DIR PACKAGE
# The built .deb as Debian and a desktop see it: exactly the expected files
# with root ownership and the right modes, a Depends that covers every library
# the executables load (and Img, which the snapshots need), maintainer scripts
# that parse, icons whose pixels match their folder, a desktop entry whose
# working directory holds the shell with its boot script at ../tcl, and
# lintian without errors or warnings.
set -u
build_dir=$1 package=$2
work=$(mktemp -d /tmp/fieldwish-pkgcheck.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

app=usr/lib/fieldwish
# ---- the file list ----------------------------------------------------------
# The product's files as the build lists them (the icons where the desktop
# looks for them, the rest under $app with the list the installer copies by),
# the launcher on the PATH and what Debian wants beside them; nothing else.
product_list=$build_dir/fieldwish-files.txt package_list=$build_dir/packaging/fieldwish-files.txt
grep -v '^icons/' "$product_list" | diff -u - "$package_list" ||
  fail "the package's file list is not the product's without its icons (- product, + package)"
{
  printf '%s\n' usr/bin/fieldwish usr/share/man/man1/fieldwish.1.gz $app/fieldwish-files.txt \
    usr/lib/udev/rules.d/60-fieldwish.rules usr/share/applications/fieldwish.desktop \
    usr/share/doc/fieldwish/copyright usr/share/doc/fieldwish/changelog.gz
  sed "s|^|$app/|" "$package_list"
  grep '^icons/' "$product_list" | sed 's|^|usr/share/|'
} | sort >"$work/expected"

dpkg-deb -c "$package" >"$work/listing" || { echo "FAILED: dpkg-deb cannot read $package"; exit 1; }
awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' "$work/listing" | sort >"$work/actual"
diff -u "$work/expected" "$work/actual" >"$work/list.diff" ||
  { fail "the package's files differ from the expected list (- expected, + packaged):"; cat "$work/list.diff"; }
# The build's own tools never ship: tinpack carries the key.
grep -E '(^|/)(tinpack|instrument-sim|fieldwish-sim|[a-z_]+_test)$' "$work/actual" &&
  fail "the package carries build tools or test programs (above)"

# ---- owners and modes -------------------------------------------------------
while read -r perms owner _ _ _ path _; do
  path=${path#./}
  case $perms:$path in
    d*) want=drwxr-xr-x ;;
    *:$app/bin/*|*:usr/bin/*) want=-rwxr-xr-x ;;
    *) want=-rw-r--r-- ;;
  esac
  [ "$perms" = "$want" ] || fail "$path has mode $perms, not $want"
  [ "$owner" = root/root ] || fail "$path belongs to $owner, not root/root"
done <"$work/listing"

dpkg-deb -x "$package" "$work/root" && dpkg-deb -e "$package" "$work/control" ||
  { echo "FAILED: cannot unpack $package"; exit 1; }

# ---- Depends covers every library the executables load ----------------------
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
dep_names=" $(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | tr '\n' ' ') "
[[ $dep_names == *" udev "* ]] || fail "Depends lacks udev, which applies the instrument's rule"
[[ $dep_names == *" libtk-img "* ]] || fail "Depends lacks libtk-img, which the snapshots need"
owner_of() {   # the package holding a library file (merged /usr or not)
  local path=$1
  dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "/usr${path#/usr}" 2>/dev/null ||
    dpkg-query -S "${path#/usr}" 2>/dev/null
}
for exe in "$work/root/$app"/bin/*; do
  for soname in $(objdump -p "$exe" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldconfig -p | awk -v s="$soname" '$1 == s && /x86-64/ { print $NF; exit }')
    [ -n "$path" ] || { fail "$(basename "$exe") needs $soname, which this machine does not have"; continue; }
    provider=$(owner_of "$path" | head -n 1 | cut -d: -f1)
    [[ $dep_names == *" $provider "* ]] ||
      fail "$(basename "$exe") loads $soname from $provider, which Depends does not name"
  done
done

# On an empty system apt must find all of it in the archive (where this
# machine has the package lists to tell).
if apt-cache policy udev 2>/dev/null | grep -q 'Candidate: [0-9]'; then
  : >"$work/empty-status"
  if apt-get -s -o Dir::State::status="$work/empty-status" install "$(realpath "$package")" \
       >"$work/apt.log" 2>&1; then
    echo "apt on an empty system: $(grep -c '^Inst ' "$work/apt.log") packages to install"
  else
    fail "apt cannot install the package on an empty system:"; tail -n 15 "$work/apt.log"
  fi
else
  echo "apt on an empty system: not checked (no package lists here)"
fi

# ---- maintainer scripts -----------------------------------------------------
sh -n "$work/root/usr/bin/fieldwish" || fail "/usr/bin/fieldwish does not parse"
for script in postinst postrm; do
  file=$work/control/$script
  [ -f "$file" ] || { fail "no $script"; continue; }
  [ "$(stat -c %a "$file")" = 755 ] || fail "$script has mode $(stat -c %a "$file")"
  [ "$(head -n 1 "$file")" = "#!/bin/sh" ] || fail "$script does not start with #!/bin/sh"
  sh -n "$file" || fail "$script does not parse"
done

# ---- icons: PNG width and height as the folder says ------------------------
for png in "$work/root"/usr/share/icons/hicolor/*x*/apps/fieldwish.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "${width}x$height" = "$size" ] || fail "the $size icon is ${width}x$height"
done

# ---- the desktop entry -----------------------------------------------------
entry=$work/root/usr/share/applications/fieldwish.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
key() { sed -n "/^\[Desktop Entry\]/,/^\[/ s/^$1=//p" "$entry"; }
exec_line=$(key Exec) workdir=$(key Path)
[ -x "$work/root${exec_line%% *}" ] || fail "Exec=$exec_line names no executable of the package"
[ -f "$work/root$workdir/../tcl/tovGUI.tin" ] || fail "Path=$workdir has no ../tcl/tovGUI.tin"
auto_exec=$(sed -n '/^\[Desktop Action auto\]/,/^\[/ s/^Exec=//p' "$entry")
[ "$auto_exec" = "$exec_line auto" ] || fail "the auto action runs \"$auto_exec\""
[ "$(key Icon)" = fieldwish ] || fail "Icon=$(key Icon)"

# ---- lintian ---------------------------------------------------------------
report=$(lintian --fail-on error,warning --tag-display-limit 0 --display-info "$package" 2>&1)
status=$?
echo "lintian:"
grep -v 'not recommended' <<<"$report"
[ "$status" -eq 0 ] || fail "lintian reports errors or warnings"

[ "$failures" -eq 0 ] && echo "package contents: all checks passed"
exit $((failures > 0))
