#!/usr/bin/env bash
# Peak memory of `veskor --list` over a demo journal: makes a journal of N records (default
# 100000) in a folder of its own, lists it to /dev/null under GNU time and prints the peak
# resident set. Usage: scripts/measure-list-memory.sh [N] [build dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
records="${1:-100000}"
build="${2:-${VESKOR_BUILD_DIR:-$root/build}}"
program="$build/src/app/veskor"
[ -x "$program" ] || { echo "no program at $program: build the target veskor first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing: install the package time" >&2; exit 1; }
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
"$program" --create-demo "$records" --data-dir "$data"
report="$data/time.txt"
/usr/bin/time -v -o "$report" "$program" --data-dir "$data" --list >/dev/null
peak=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$report")
wall=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$report")
echo "--list of $records records: peak resident set $peak KiB ($((peak / 1024)) MiB), $wall wall clock"
