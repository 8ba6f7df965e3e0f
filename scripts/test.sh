#!/usr/bin/env bash
# Builds everything and runs all tests (unit tests in both Wine prefixes and the
# end-to-end tests of the real installer). Usage: scripts/test.sh [BUILD_DIR]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
bash "$top/scripts/setup-deps.sh"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel
cmake --build "$build" -j2
. "$top/scripts/xvfb.sh"
trap '[ -n "${LV_XVFB_PID:-}" ] && kill $LV_XVFB_PID 2>/dev/null || true' EXIT
cd "$build"
ctest --output-on-failure -j2
