#!/usr/bin/env bash
# Builds the threaded parts (report window and layout, message service, main window) with
# ThreadSanitizer into build-tsan/ and runs their tests; fails when the sanitizer reports a
# race. The build takes about three minutes on two cores with an empty compiler cache.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-tsan"
targets=(report_tests report_form_tests messages_dialog_tests app_main_form_tests)
cmake -S "$root" -B "$build" -DVESKOR_SANITIZE=thread -DVESKOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
# Memory the toolkit's own (uninstrumented) code allocates and frees is not ours to judge.
export TSAN_OPTIONS="ignore_noninstrumented_modules=1 halt_on_error=1 suppressions=$root/tests/tsan.supp"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -R "^($(IFS='|'; echo "${targets[*]}"))$"
