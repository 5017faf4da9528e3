#!/usr/bin/env bash
# Builds the Windows packages and prints their paths: build-windows/packages/
# jellyquake-<version>-setup.exe (an installer made with NSIS) and
# jellyquake-<version>-windows.zip (the same files, to unpack anywhere). The
# version is the one in project() in CMakeLists.txt. Extra arguments go to cmake.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_WINDOWS_BUILD_DIR:-$root/build-windows}"
bash "$root/scripts/build-windows.sh" "$@" >/dev/null
cmake --build "$build" --target windows_packages >/dev/null
ls "$build"/packages/jellyquake-*-setup.exe "$build"/packages/jellyquake-*-windows.zip
