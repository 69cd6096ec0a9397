#!/usr/bin/env bash
# runner-check.sh HIDVM_RUN CACHE_DIR
# Checks the VM runner itself: the guest command's standard output and error
# come back byte for byte and apart, its exit status comes back, the host's
# files are visible but not writable through the guest, and the kernel's HID
# and gadget interfaces are there.
set -u
run=$1 cache=$2
work=$(mktemp -d /tmp/hidvm-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL $1: expected [$2] got [$3]" >&2
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

printf 'host file\n' >"$work/visible"
cat >"$work/guest.sh" <<'GUEST'
printf 'line one\nno newline at the end\tand a tab'
printf 'to stderr\n' >&2
cat "$1/visible"
echo changed >"$1/visible"
echo new >"$1/made-in-guest"
test -c /dev/uhid && echo uhid
test -d /sys/kernel/config/usb_gadget && echo configfs
ls /sys/class/udc
cd "$1" && pwd
exit 7
GUEST

"$run" -C "$cache" -t 300 -- bash "$work/guest.sh" "$work" >"$work/out" 2>"$work/err"
status=$?
check "exit status" 7 "$status"
check "standard output" "$(printf 'line one\nno newline at the end\tand a tabhost file\nuhid\nconfigfs\ndummy_udc.0\n%s' "$work")" "$(cat "$work/out")"
check "standard error" "to stderr" "$(cat "$work/err")"
check "host file untouched" "host file" "$(cat "$work/visible")"
check "nothing made on the host" "absent" "$([ -e "$work/made-in-guest" ] && echo present || echo absent)"

# A status above 125 and a command that cannot be run come back too.
"$run" -C "$cache" -t 300 -- sh -c 'exit 200' >/dev/null 2>&1
check "large exit status" 200 "$?"
"$run" -C "$cache" -t 300 -- /nonexistent/command >/dev/null 2>"$work/err"
status=$?
check "missing command" 127 "$status"

[ "$failures" -eq 0 ]
