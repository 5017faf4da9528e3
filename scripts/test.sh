#!/usr/bin/env bash
# Builds everything and runs every test. Exits non-zero when any test fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
bash "$root/scripts/sanitize.sh"
bash "$root/scripts/fuzz.sh"
