#!/usr/bin/env bash
# Builds the Debian package, checks its control fields, unpacks it into a scratch
# root, starts the unpacked launcher under a virtual X server from an unrelated
# folder, sees the title screen drawn from the installed images, and closes it.
#
# Usage: deb_test.sh <build dir> <close_window>
set -euo pipefail

if [ -z "${JQ_INSIDE_XVFB:-}" ]; then
  # -a picks a free display: other builds may run their own virtual servers.
  exec env JQ_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

build=$1
closer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null
deb=$(ls "$work"/pkg/jellyquake_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = jellyquake ] || fail "package name $(field Package)"
[ "$(field Version)" = 0.1.0 ] || fail "version $(field Version)"
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
launcher="$work/root/usr/bin/jellyquake"
[ -x "$launcher" ] || fail "no launcher in the package"

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
title="$work/root/usr/share/jellyquake/graphics/interface/title.png"
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
