#!/usr/bin/env bash
# Lays every image the game loads out on one sheet, to judge them together.
#
#   bash tools/contact_sheet.sh [BUILD_FOLDER]
#
# Reads BUILD_FOLDER/graphics (default: build/ of this checkout, after a build)
# and writes BUILD_FOLDER/contact_sheet.png. See-through images are shown on a
# checkerboard, the additive flames on black as the game blends them.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-${JQ_BUILD_DIR:-$root/build}}" && pwd)"
graphics="$build/graphics"
[ -d "$graphics" ] || { echo "no $graphics: build first (bash scripts/build.sh)" >&2; exit 1; }
command -v montage >/dev/null || { echo "montage missing: run scripts/setup.sh" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

tile=160
n=0
while IFS= read -r file; do
  rel="${file#"$graphics"/}"
  n=$((n + 1))
  out="$work/tile$(printf '%02d' "$n").png"
  case "$rel" in
    particles/fire*)
      convert "$file" -background black -flatten "$out" ;;
    *)
      # A checkerboard the size of the image shows what is see-through.
      size="$(identify -format '%wx%h' "$file")"
      convert -size "$size" pattern:checkerboard -fill '#7fa07f' -colorize 60% \
        "$file" -composite "$out" ;;
  esac
  # Label with the image's path and size, as the game names it.
  convert "$out" -set label "${rel#interface/}  $(identify -format '%wx%h' "$file")" "$out"
done < <(find "$graphics" -name '*.png' | sort)

montage "$work"/tile*.png -geometry "${tile}x${tile}+14+10" -tile 7x -background '#f4efe4' \
  -font DejaVu-Sans -pointsize 10 -title "Jellyquake: all $n images" "$work/sheet.png"
# Below the tiles, the title screen at full width over the tiled lawn, as the
# game shows it in a 4:3 window.
width="$(identify -format '%w' "$work/sheet.png")"
convert -size 1024x768 tile:"$graphics/grass.png" "$graphics/interface/title.png" \
  -geometry +0+128 -composite -resize "$((width - 40))x" -bordercolor '#f4efe4' -border 20 \
  "$work/title.png"
convert "$work/sheet.png" "$work/title.png" -append "$build/contact_sheet.png"
echo "$build/contact_sheet.png ($n images)"
