#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; non-zero on any failure.
#   scripts/test.sh           plain build and tests, then the sanitizer build
#                             and its tests, then a short fuzz run of every reader
#   scripts/test.sh --quick   plain build and tests only, for day-to-day work
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    *) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
  esac
done

# Prints how long a stage took, so the time budget stays visible in CI logs.
stage() {
  local name=$1 start=$SECONDS rc=0
  shift
  echo "=== ${name}" >&2
  "$@" || rc=$?
  echo "=== ${name}: $([ $rc -eq 0 ] && echo passed || echo "FAILED ($rc)") in $((SECONDS - start)) s" >&2
  return $rc
}

status=0
stage "setup and plain build" scripts/setup.sh || exit $?
source scripts/xvfb.sh
source scripts/testhome.sh
BUILD_DIR=${KELVANE_BUILD_DIR:-build}
stage "plain tests" ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 300 -LE acceptance || status=1
# The roads drive a whole desktop each: one at a time, so a loaded machine
# does not starve them; a road that fails is tried once more before it counts.
stage "acceptance roads" ctest --test-dir "$BUILD_DIR" --output-on-failure -j 1 --timeout 300 -L acceptance \
  --repeat until-pass:2 || status=1
if [ $quick -eq 0 ]; then
  stage "sanitizer build and tests" scripts/sanitize.sh || status=1
  stage "fuzz runs" scripts/fuzz.sh || status=1
fi
kelvane_remove_test_home
echo "=== total: $([ $status -eq 0 ] && echo passed || echo FAILED) in ${SECONDS} s" >&2
exit $status
