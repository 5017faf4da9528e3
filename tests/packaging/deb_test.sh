#!/usr/bin/env bash
# Builds the Debian package as a packager does (scripts/package.sh) with the test
# and benchmark libraries barred from CMake, checks it with lintian and for
# Debian's hardening, checks its control fields, unpacks it into a scratch root,
# starts the unpacked launcher under a virtual X server from an unrelated folder,
# sees the title screen drawn from the installed images, and closes it.
#
# Usage: deb_test.sh <source dir> <package build dir> <close_window> <project version>
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24

source=$1
build=$2
closer=$3
version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# find_package(GTest) or find_package(benchmark) would now fail the configure step;
# nothing may link them by name either.
JQ_PACKAGE_BUILD_DIR="$build" bash "$source/scripts/package.sh" \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  >"$work/package.out" 2>"$work/package.err" || fail "package build: $(cat "$work/package.err")"
deb=$(tail -n 1 "$work/package.out")
[ -f "$deb" ] || fail "no package: $deb"
linked=$(find "$build" -name link.txt -exec grep -lE 'gtest|gmock|benchmark' {} + || true)
[ -z "$linked" ] || fail "the package build links a test library: $linked"

lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = jellyquake ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), not $version"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
# (Fields are read whole first: grep -q would close the pipe early under pipefail.)
description=$(field Description)
depends=$(field Depends)
grep -q 'jelly blobs' <<<"$description" || fail "no description"
# Dependencies come from the libraries the game links.
for lib in libglut libpng libglu 'libopengl0\|libgl1' libopenal libsndfile; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

dpkg -x "$deb" "$work/root"
launcher="$work/root/usr/games/jellyquake"
[ -x "$launcher" ] || fail "no launcher in the package"
zgrep -q "Jellyquake $version" "$work/root/usr/share/man/man6/jellyquake.6.gz" ||
  fail "the manual page is not for version $version"

# Debian's hardening: position-independent, read-only relocations bound at start,
# stack protector and fortified functions in use.
game="$work/root/usr/libexec/jellyquake/jellyquake"
[[ "$(file -b "$game")" == *"pie executable"*", stripped" ]] || fail "not a stripped PIE: $(file "$game")"
dynamic=$(readelf -d "$game")
segments=$(readelf -lW "$game")
symbols=$(readelf --dyn-syms -W "$game")
grep -q 'BIND_NOW' <<<"$dynamic" || fail "no bind now"
grep -q 'GNU_RELRO' <<<"$segments" || fail "no read-only relocations"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "no stack protector"
grep -q '_chk@' <<<"$symbols" || fail "no fortified functions"

elsewhere=$(mktemp -d)
(cd "$elsewhere" && exec "$launcher") 2>"$work/game.err" &
pid=$!
window=$(timeout 60 xdotool search --sync --name '^Jellyquake$' | head -n 1) ||
  fail "no window titled Jellyquake"

# The title image spans the window's width and, in a 4:3 window, the middle two
# thirds of its height, one pixel per texel at 1024 x 768. Where it is opaque, the
# screen must show its pixels: the installed images were found.
w=1024 h=768
band="${w}x$((h * 2 / 3))+0+$((h / 6))"
title="$work/root/usr/share/games/jellyquake/graphics/interface/title.png"
convert "$title" -alpha extract -threshold 99% "$work/mask.png"
cover=$(convert "$work/mask.png" -format '%[fx:mean]' info:)
seen=0 diff=1
for _ in $(seq 120); do
  sleep 0.25
  import -window "$window" "$work/shot.png" 2>/dev/null || continue
  diff=$(convert "$work/shot.png" -crop "$band" +repage "$title" -alpha off \
    -compose difference -composite "$work/mask.png" -compose multiply -composite \
    -colorspace gray -format '%[fx:mean]' info:)
  # Mean difference over the opaque pixels, below 2 % of full scale.
  if awk -v d="$diff" -v c="$cover" 'BEGIN { exit !(c > 0.05 && d / c < 0.02) }'; then
    seen=1
    break
  fi
done
[ "$seen" = 1 ] || fail "the title image is not on screen (difference $diff over cover $cover)"

"$closer" "$window" || fail "could not ask the window to close"
for _ in $(seq 200); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the game did not close"; }
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || fail "the game ended with status $status: $(cat "$work/game.err")"
echo "package ok: $(basename "$deb")"
