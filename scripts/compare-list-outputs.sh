#!/usr/bin/env bash
# Runs twenty searches with two builds of the program over the same demo journal and
# compares their `--list` outputs, for a change that must not alter what a search finds.
# Usage: scripts/compare-list-outputs.sh OLD_PROGRAM NEW_PROGRAM [N records, default 20000]
set -euo pipefail
old="$1"
new="$2"
records="${3:-20000}"
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
"$new" --create-demo "$records" --data-dir "$data"
searches=(
  "павлов" "ЕРЁМЕНКО" "еременко" "кодеин" "не обнаружен" "моча" "ТСХ" "мкг/мл" "1958" "1003"
  "2026" "Центральному району" "по ц" "ВЭЖХ-МС/МС" "А.Д." "Бюро" "0,5" "%" "_" "желудок с"
)
differ=0
for s in "${searches[@]}"; do
  "$old" --data-dir "$data" --list --search "$s" >"$data/old.txt"
  "$new" --data-dir "$data" --list --search "$s" >"$data/new.txt"
  if cmp -s "$data/old.txt" "$data/new.txt"; then
    echo "same:    $s ($(($(grep -vc "^-- " "$data/new.txt") - 1)) records)"
  else
    echo "differ:  $s"
    differ=1
  fi
done
exit $differ
