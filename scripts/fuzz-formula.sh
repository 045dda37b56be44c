#!/usr/bin/env bash
# Fuzzes the formula parser and evaluation with libFuzzer (clang), AddressSanitizer and
# UndefinedBehaviorSanitizer for a while; not part of CI. Usage: scripts/fuzz-formula.sh
# [seconds, default 120]. Failing inputs are left in build-fuzz/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out/formula-corpus"
printf '\x00SUM(A1:C3, 2.5) * -2^2' >"$out/formula-corpus/sum"
printf '\x00ROUND(AVERAGE(A1,B2,C1)*3)+IF(A1>2,"yes",B1 DIV 0)' >"$out/formula-corpus/lab"
printf '\x01SUM(1,5; 2)/0 - @A1:A9 MOD ROW()' >"$out/formula-corpus/russian"
printf '\x00((1+2)*STDEV(A1 : B4; "x")) SHL 40 <> PI' >"$out/formula-corpus/mixed"
# shellcheck disable=SC2046
clang++ -g -O1 -std=c++20 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -fPIC -I"$root/src" -I"$root/tests" $(pkg-config --cflags Qt6Core) \
  "$root/tests/fuzz/FormulaFuzz.cpp" "$root"/src/formula/*.cpp \
  "$root/src/messages/Trace.cpp" "$root/src/messages/TraceFormat.cpp" \
  $(pkg-config --libs Qt6Core) -o "$out/formula_fuzz"
cd "$out"
./formula_fuzz -max_total_time="${1:-120}" -max_len=4096 -timeout=10 formula-corpus
