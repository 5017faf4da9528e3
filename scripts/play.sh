#!/usr/bin/env bash
# Builds Jellyquake and starts it from the build folder, where its graphics/ lives.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
cd "$build"
if [ -x ./jellyquake ]; then
  exec ./jellyquake "$@"
fi
# No window yet: play a seeded game headless and print its outcome.
exec ./jellyquake-sim --seed 1 --frames 5400 --dt 0.0166666666666666667
