#!/usr/bin/env bash
# Fuzzes the clipboard readers with libFuzzer (clang), AddressSanitizer and
# UndefinedBehaviorSanitizer, one target after another; not part of CI.
# Usage: scripts/fuzz-paste.sh [seconds per target, default 120] [tag|html|tab ...].
# Failing inputs are left in build-fuzz/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
seconds="${1:-120}"
shift || true
targets=("${@:-tag html tab}")
# shellcheck disable=SC2206
targets=(${targets[*]})
mkdir -p "$out/tag-corpus" "$out/html-corpus" "$out/tab-corpus"
printf '<td class="x" x:fmla="=A1&amp;B1">1<br/></td><!--c--><?xml a=1?><!DOCTYPE html>' \
  >"$out/tag-corpus/mixed"
printf "<p style=\"font-family:'Times New Roman'\" a = '1'>a  b<![if !vml]><img><![endif]>" \
  >"$out/tag-corpus/quotes"
printf '\x00Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000300\r\nStartFragment:0000000140\r\nEndFragment:0000000290\r\n<html><body><table><!--StartFragment--><tr><td colspan=2 rowspan=3>a<br>b<td x:fmla="=1">&#x1F600;&nbsp;<tr><th>c</th><!--EndFragment--></table>' \
  >"$out/html-corpus/header"
printf '\x01<table><tr><td><p>a</p><table><tr><td>x<td>y</table><td>Иванов &amp; &unknown;</tr></table>' \
  >"$out/html-corpus/nested"
printf 'a\tb\r\nc\t\td\n\nИванов\t17,5\r' >"$out/tab-corpus/lines"
common=(-g -O1 -std=c++20 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
  -fPIC -I"$root/src")
# shellcheck disable=SC2046
qt_cflags=($(pkg-config --cflags Qt6Core))
# shellcheck disable=SC2046
qt_libs=($(pkg-config --libs Qt6Core))
build() {
  clang++ "${common[@]}" "${qt_cflags[@]}" "$@" "${qt_libs[@]}"
}
cd "$out"
for target in "${targets[@]}"; do
  case "$target" in
  tag)
    build "$root/tests/fuzz/TagTokenizerFuzz.cpp" "$root/src/text/XmlParser.cpp" -o tag_fuzz
    ./tag_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 -jobs=1 tag-corpus
    ;;
  html)
    build "$root/tests/fuzz/HtmlPasteFuzz.cpp" "$root/src/text/XmlParser.cpp" \
      "$root/src/text/GridParser.cpp" "$root/src/text/HtmlGridParser.cpp" \
      "$root/src/text/HtmlText.cpp" -o html_paste_fuzz
    ./html_paste_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=10 -jobs=1 html-corpus
    ;;
  tab)
    build "$root/tests/fuzz/TabPasteFuzz.cpp" "$root/src/text/GridParser.cpp" \
      "$root/src/text/TabGridParser.cpp" -o tab_paste_fuzz
    ./tab_paste_fuzz -max_total_time="$seconds" -max_len=4096 -timeout=10 -jobs=1 tab-corpus
    ;;
  *)
    echo "unknown target: $target" >&2
    exit 2
    ;;
  esac
done
