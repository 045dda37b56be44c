#!/bin/sh
# A check by hand, outside CI: another program reads the EMF pages the report command
# writes. It needs LibreOffice Draw (Debian: libreoffice-draw-nogui, about 230 MB), which the
# build does not depend on. Usage: check-emf-with-soffice.sh BUILD_DIR [DATA_DIR]
# The pages come out as PNG files next to the EMF files; look at them, they should show the
# ruled table, the Cyrillic texts and "Страница 1 из N".
set -eu
build=${1:?build folder}
data=${2:-$(mktemp -d)}
out=$(mktemp -d)
"$build/src/app/veskor" --data-dir "$data" --create-demo 300 --report-emf "$out/page"
soffice --headless --convert-to png --outdir "$out" "$out"/page01.emf "$out"/page02.emf
ls -l "$out"/*.png
echo "pages written to $out"
