#!/usr/bin/env bash
# run-all.sh [BUILD_DIR]: runs every benchmark against a built tree (make bench).
# Each section prints its own figures and ratios; the script fails if any does.
set -u
build_dir=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
status=0

section() { printf '\n== %s ==\n' "$1"; }

# ---- Cipher: ScriptCipher::crypt against OpenSSL's BF_decrypt, 500,000 bytes -----------
section "cipher"
"$build_dir/bench/cipher_bench" --benchmark_repetitions=5 \
  || status=1

# ---- CryptSource of a protected script against source of the plain one ----------------
section "crypt_source"
"$here/crypt_source_bench.sh" "$build_dir" 30 || status=1

# ---- Start-up to the event loop: fieldwish against wish8.6 ----------------------------
section "startup"
"$here/startup_bench.sh" "$build_dir" 40 || status=1

exit $status
