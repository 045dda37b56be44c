#!/usr/bin/env bash
# Installs what is needed, builds, creates the demo journal when missing and starts the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
build="${VESKOR_BUILD_DIR:-$root/build}"
data="${VESKOR_DATA_DIR:-$build/src/app}"
"$build/src/app/veskor" --data-dir "$data" --create-demo 2000
exec "$build/src/app/veskor" --data-dir "$data" "$@"
