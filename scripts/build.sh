#!/usr/bin/env bash
# Installs what is missing, then configures and builds Jellyquake into build/,
# every warning an error (extra arguments go to cmake).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="${JQ_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DJQ_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
