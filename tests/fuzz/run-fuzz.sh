#!/usr/bin/env bash
# run-fuzz.sh BUILD_DIR [SECONDS]
# Runs every fuzz target of the sanitizer tree BUILD_DIR for SECONDS (default
# 300) each, from its committed corpus; new inputs go to BUILD_DIR/fuzz-corpus,
# a crashing, leaking or hanging input to BUILD_DIR/fuzz-artifacts. Prints the
# executions of each target; exits non-zero when any target failed.
set -u
build_dir=$(cd "$1" && pwd)
seconds=${2:-300}
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$here/../sanitizer/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

shopt -s nullglob
targets=("$build_dir"/fuzz/*_fuzz)
if [ ${#targets[@]} -eq 0 ]; then
  echo "run-fuzz: no fuzz targets in $build_dir/fuzz (a Clang sanitizer tree builds them)" >&2
  exit 2
fi
mkdir -p "$build_dir/fuzz-artifacts"
summary=()
status=0
for program in "${targets[@]}"; do
  name=$(basename "$program" _fuzz)
  work=$build_dir/fuzz-corpus/$name
  log=$build_dir/fuzz-artifacts/$name.log
  mkdir -p "$work"
  echo "== $name: ${seconds} s"
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
    -print_final_stats=1 -artifact_prefix="$build_dir/fuzz-artifacts/$name-" \
    "$work" "$here/corpus/$name" >"$log" 2>&1
  code=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ $code -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $code, see $log)"
    status=1
    grep -E "ERROR|check failed|runtime error|SUMMARY|Test unit written" "$log" | head -n 20
  fi
  summary+=("$(printf '%-20s %14s executions  %s' "$name" "${runs:-?}" "$result")")
done
echo "== executions per target (${seconds} s each)"
printf '%s\n' "${summary[@]}"
exit $status
