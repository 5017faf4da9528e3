#!/usr/bin/env bash
# Plays the first half-minute of a game in a virtual X server, grabs a blob near
# the middle and pulls its sling, and saves that moment as docs/screenshot.png,
# the picture at the top of the README. Anyone can rerun it; each run plays a
# different game.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
out="$root/docs/screenshot.png"

bash "$root/scripts/build.sh"
mkdir -p "$root/docs"
# A 1000 x 750 screen gives the game an 800 x 600 window.
source "$root/scripts/lib/xvfb.sh"
start_xvfb 1000x750x24

work=$(mktemp -d)
(cd "$build" && exec ./jellyquake) &
game=$!
trap 'kill "$game" 2>/dev/null; rm -rf "$work"' EXIT
window=$(timeout 30 xdotool search --sync --name '^Jellyquake$' | head -n 1)
sleep 3
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH / 2)) $((HEIGHT / 2)) sleep 0.2 click 1
sleep 24

# The blue blob nearest the middle of the window, below the display's strip.
import -window "$window" "$work/before.png"
top=$((WIDTH * 6 / 100))
read -r x y < <(convert "$work/before.png" -crop "${WIDTH}x$((HEIGHT - top))+0+$top" +repage \
  -fx 'b>100/255 && b-r>45/255' -define connected-components:verbose=true \
  -define connected-components:area-threshold=$((WIDTH * HEIGHT / 2500)) \
  -connected-components 8 null: |
  awk -v top="$top" -v w="$WIDTH" -v h="$HEIGHT" '$NF ~ /gray\(255\)|white|\(255,255,255\)/ {
    split($3, c, ","); y = c[2] + top; print (c[1] - w / 2) ^ 2 + (y - h / 2) ^ 2, c[1], y }' |
  sort -n | awk 'NR == 1 { printf "%.0f %.0f\n", $2, $3 }')
if [ -n "${x:-}" ]; then
  # Hold it and pull the sling down the screen: the marker shows where it would land.
  xdotool mousemove --window "$window" "$x" "$y" sleep 0.3 mousedown 1
  for step in 1 2 3 4 5; do
    xdotool mousemove --window "$window" "$x" $((y + step * WIDTH / 100)) sleep 0.05
  done
  sleep 0.3
fi
import -window "$window" "$out"
xdotool mouseup 1
echo "wrote $out"
