#!/usr/bin/env bash
# Builds everything and runs every test, for Linux, then for Windows (under Wine),
# then for the browser (under node and headless Chromium). Exits non-zero when any
# test fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
cd "$build"
# The real game's random-input soak (label soak) runs in the sanitizer pass.
ctest --output-on-failure -j "$(nproc)" -LE soak
bash "$root/scripts/sanitize.sh"
bash "$root/scripts/fuzz.sh"
bash "$root/scripts/build-windows.sh"
cd "${JQ_WINDOWS_BUILD_DIR:-$root/build-windows}"
ctest --output-on-failure -j "$(nproc)"
bash "$root/scripts/build-web.sh"
cd "${JQ_WEB_BUILD_DIR:-$root/build-web}"
ctest --output-on-failure -j "$(nproc)"
