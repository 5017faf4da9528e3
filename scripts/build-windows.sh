#!/usr/bin/env bash
# Cross-builds Jellyquake for 64-bit Windows with MinGW-w64 into build-windows/, every
# warning an error (extra arguments go to cmake). Its graphics/ and sounds/ are the
# ones the generators drew in the native build (build/, built here as far as they
# need), the same bytes as on Linux. `ctest` in build-windows/ runs the tests under
# Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
host="${JQ_BUILD_DIR:-$root/build}"
build="${JQ_WINDOWS_BUILD_DIR:-$root/build-windows}"

[ -f "$host/CMakeCache.txt" ] || cmake -S "$root" -B "$host" -DJQ_WERROR=ON >/dev/null
cmake --build "$host" -j "$(nproc)" --target art sfx png_listing close_window sound_levels

cmake -S "$root" -B "$build" --toolchain "$root/cmake/toolchain-mingw-w64.cmake" \
  -DJQ_WERROR=ON -DJQ_HOST_BUILD_DIR="$host" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"

for exe in "$build"/*.exe; do
  printf '%s imports:' "$(basename "$exe")"
  x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: / /p' | tr -d '\n'
  echo
done
