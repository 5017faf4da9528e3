#!/usr/bin/env bash
# Builds Jellyquake for the browser with Debian's emscripten into build-web/: the
# site in build-web/site/ (a page, the game's script and wasm, its data package)
# and the simulator as build-web/jellyquake-sim.js, run with node. Its graphics/
# and sounds/ are the ones the generators drew in the native build (build/, built
# here as far as they need), the same bytes as on Linux. libpng and zlib come from
# Debian's source packages, fetched once into build-web/deps/. Extra arguments go
# to cmake. `ctest` in build-web/ runs the browser build's tests.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
host="${JQ_BUILD_DIR:-$root/build}"
build="${JQ_WEB_BUILD_DIR:-$root/build-web}"
deps="$build/deps"
# Debian's emcc runs its helpers under the system's node, which finds Debian's
# JavaScript modules (acorn) only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The unpacked source of a Debian source package in $deps, if it is there.
unpacked() {
  find "$deps" -mindepth 1 -maxdepth 1 -type d -name "$1-*" 2>/dev/null | sort | tail -n 1
}

# apt-get source with a sources list of its own: one deb-src line for the archive
# the machine installs from, and lists and caches kept in $deps, so the machine's
# own apt state is never touched.
fetch_sources() {
  local apt="$deps/apt" mirror
  mirror=$({ grep -rhoE '^(URIs:|deb) +[^ ]+' /etc/apt/sources.list /etc/apt/sources.list.d/ || true; } \
    2>/dev/null | awk '$2 ~ /debian\/?$/ && $2 !~ /security/ {print $2; exit}')
  mirror=${mirror:-http://deb.debian.org/debian}
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" \
    >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root)
  apt-get "${options[@]}" update >/dev/null
  (cd "$deps" && apt-get "${options[@]}" source "$@" >/dev/null 2>&1)
}

mkdir -p "$deps"
if [ -z "$(unpacked zlib)" ] || [ -z "$(unpacked libpng1.6)" ]; then
  fetch_sources zlib libpng1.6
fi
zlib_source=$(unpacked zlib)
png_source=$(unpacked libpng1.6)

[ -f "$host/CMakeCache.txt" ] || cmake -S "$root" -B "$host" -DJQ_WERROR=ON >/dev/null
cmake --build "$host" -j "$(nproc)" --target art sfx

emcmake cmake -S "$root" -B "$build" -DJQ_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
  -DJQ_HOST_BUILD_DIR="$host" -DJQ_WEB_ZLIB_SOURCE="$zlib_source" \
  -DJQ_WEB_PNG_SOURCE="$png_source" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
