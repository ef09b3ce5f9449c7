#!/usr/bin/env bash
# Sets everything up, builds, and runs every test; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/xvfb.sh
BUILD_DIR=${KELVANE_BUILD_DIR:-build}
# Tests never see the user's own folders.
TEST_HOME=$(mktemp -d /tmp/kelvane-ci-home.XXXXXX)
export HOME="$TEST_HOME/home" XDG_DATA_HOME="$TEST_HOME/data" XDG_DATA_DIRS="$TEST_HOME/common" XDG_CONFIG_HOME="$TEST_HOME/config"
mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_DATA_DIRS" "$XDG_CONFIG_HOME"
status=0
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" --timeout 300 || status=$?
rm -rf "$TEST_HOME"
exit $status
