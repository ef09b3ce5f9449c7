#!/usr/bin/env bash
# Sets everything up, builds, and starts Kelvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
source scripts/xvfb.sh
BUILD_DIR=${KELVANE_BUILD_DIR:-build}
exec "$BUILD_DIR/bin/kelvane" "$@"
