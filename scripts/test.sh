#!/usr/bin/env bash
# Installs what is needed, builds and runs every test, the shared journal's against a
# throw-away PostgreSQL server that is stopped again however the tests end.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
build="${VESKOR_BUILD_DIR:-$root/build}"

pgdir="$(mktemp -d /tmp/veskor-pg.XXXXXX)"
cleanup() {
  "$root/scripts/pg-test-server.sh" stop "$pgdir" || true
  rm -rf "$pgdir"
}
trap cleanup EXIT
# The server tests fail rather than skip when this variable is set and the server is not
# there, so a server that did not come up can never pass as a green run.
export VESKOR_REQUIRE_PG=1
VESKOR_TEST_PG="$("$root/scripts/pg-test-server.sh" start "$pgdir")"
export VESKOR_TEST_PG

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
