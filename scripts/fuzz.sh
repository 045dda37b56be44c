#!/usr/bin/env bash
# Fuzzes the search's folding and matching with libFuzzer (clang) for a while; not part of
# CI. Usage: scripts/fuzz.sh [seconds, default 120]. Failing inputs are left in build-fuzz/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out/corpus"
printf '\x07иванова Иванов Пётр ИВАНОВА' >"$out/corpus/name"
printf '\x03%%е%%ЁЛКА №5 «кровь» ſK' >"$out/corpus/mixed"
# shellcheck disable=SC2046
clang++ -g -O1 -std=c++20 -fsanitize=fuzzer,address,undefined -fPIC -I"$root/src" \
  $(pkg-config --cflags Qt6Core) "$root/tests/fuzz/SearchFoldFuzz.cpp" \
  "$root/src/platform/db/SearchFold.cpp" $(pkg-config --libs Qt6Core) -o "$out/search_fold_fuzz"
cd "$out"
./search_fold_fuzz -max_total_time="${1:-120}" -max_len=300 corpus
