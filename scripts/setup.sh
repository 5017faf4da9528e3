#!/usr/bin/env bash
# Installs every Debian package Jellyquake needs to build, test and run.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake pkg-config clang clang-format libclang-rt-14-dev
  # window, drawing and images
  freeglut3-dev libgl-dev libopengl-dev libglx-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev
  libpng-dev
  # the OpenGL ES 2 renderer: built and compared with the OpenGL 1 one on Mesa (EGL),
  # and compiled for the browser
  libgles-dev libegl-mesa0 emscripten
  # sound: playback, and the sound files written and read
  libopenal-dev libopenal1 libsndfile1-dev libsndfile1 libasound2-dev
  # a sound server of the tests' own, to take away and give back mid-game
  pulseaudio pulseaudio-utils libasound2-plugins
  # art generator
  libcairo2-dev libfreetype-dev fonts-dejavu-core fonts-comfortaa
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev valgrind
  # the real window under a virtual X server
  xvfb x11-utils xdotool imagemagick libx11-dev
  # packaging checks
  desktop-file-utils appstream dpkg-dev file lintian libxml2-utils
  # the Windows build: cross compiler (posix threads for std::thread), zlib for it,
  # Wine to run it, NSIS for its installer
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 nsis zip unzip
  # Authenticode signing of the Windows files, and the throwaway certificate its
  # test makes; a keyboard layout other than the US one for the keys' test
  osslsigncode openssl x11-xkb-utils
  # the browser build (emscripten above): node to run the simulator and the page's
  # tests, Chromium to play the page headless
  nodejs chromium
)
# npm comes with some builds of node, which then refuse Debian's own npm package.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=900 update
$SUDO apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends "${missing[@]}"
