#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
#   1. the normal build: unit, GUI and end-to-end tests (GUI and end-to-end under Xvfb),
#   2. a sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) of the unit tests.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
xvfb-run -a -s "-screen 0 1600x1200x24" \
  ctest --test-dir build --output-on-failure --timeout 300

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMARIS_SANITIZE=ON -DVELMARIS_BUILD_BENCH=OFF
ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
SDL_VIDEODRIVER=dummy \
  ctest --test-dir build-asan --output-on-failure --timeout 600 -L unit

echo "All tests passed."
