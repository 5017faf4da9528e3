#!/usr/bin/env bash
# Builds Jellyquake's Debian package the way a packager builds it and prints its
# path: only the game, its images and the simulator (BUILD_TESTING=OFF, so no
# test or benchmark library is needed), with Debian's compiler and linker flags
# (dpkg-buildflags with every hardening feature: fortify, stack protector, format
# security, read-only relocations, bind now; PIE is the compiler's default), in
# Debian's folders for games, stripped. Extra arguments go to cmake.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_PACKAGE_BUILD_DIR:-$root/build-deb}"
bash "$root/scripts/setup.sh"

cd "$root"  # dpkg-buildflags maps this folder out of the debugging paths
flag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
# CMake has no preprocessor flags of its own: they go with the compiler's.
cppflags=$(flag CPPFLAGS)
ldflags=$(flag LDFLAGS)
# Build type None: Debian's flags alone decide optimisation and debugging.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
  -DJQ_GAMES_LAYOUT=ON -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$cppflags $(flag CFLAGS)" -DCMAKE_CXX_FLAGS="$cppflags $(flag CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
rm -f "$build"/packages/jellyquake_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/packages/jellyquake_*.deb
