#!/usr/bin/env bash
# The sanitizer stage: builds everything with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into its own folder (build-asan/, so the plain
# build stays as it is) and runs every test there, the engine's included. Any
# sanitizer report fails the test that raised it.
#   scripts/sanitize.sh [--build-only]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${KELVANE_ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DKELVANE_SANITIZE=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
[ "${1:-}" = "--build-only" ] && exit 0

source scripts/xvfb.sh
source scripts/testhome.sh
source scripts/sanitizers/options.sh
# Known faults awaiting their owner's fix (listed with the reason).
skip=$(grep -v '^\s*\(#\|$\)' scripts/sanitizers/known-faults.txt | sed 's/[.]/\\./g' | paste -sd'|' || true)
if [ -n "$skip" ]; then echo "Skipped for known faults: ${skip//\\/}" >&2; fi
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 900 -LE acceptance ${skip:+-E "^(${skip})\$"} || status=$?
# The roads one at a time (see test.sh).
ctest --test-dir "$BUILD_DIR" --output-on-failure -j 1 --timeout 900 -L acceptance --repeat until-pass:2 \
  ${skip:+-E "^(${skip})\$"} || status=$?
kelvane_remove_test_home
exit $status
