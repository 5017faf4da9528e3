#!/usr/bin/env bash
# Plays the real game with random input in a virtual X server: pointer moves,
# clicks and drags with the left, middle and right buttons and the wheel, keys
# and arrow keys held and let go, the window resized to odd sizes down to
# 1 x 1, moved partly off the screen, minimised (unmapped) and restored. The
# game must stay up all the while, then close with status 0 and nothing on
# standard error (where a sanitized build reports).
#
# Usage: game_soak_test.sh <jellyquake> <close_window> <folder holding graphics/>
# Environment: JQ_GAME_SOAK_SECONDS (default 30), JQ_GAME_SOAK_SEED (default:
# the time; printed, to replay the same choices).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"

game=$(realpath "$1")
closer=$2
data=$3
seconds=${JQ_GAME_SOAK_SECONDS:-30}
seed=${JQ_GAME_SOAK_SEED:-$(date +%s)}
echo "random input for $seconds s, seed $seed"
RANDOM=$seed
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

start_game "$game" "$data"
find_window
xdotool windowfocus --sync "$toplevel" 2>/dev/null || true

# Odd window sides, the smallest X allows among them.
sides=(1 2 3 5 7 13 31 64 101 199 333 479 640 801 1023 1279)
arrows=(Left Right Up Down)
held_keys=()
actions=0

# A point on the screen in or a little outside the window.
random_point() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  px=$((X + RANDOM % (WIDTH + 40) - 20))
  py=$((Y + RANDOM % (HEIGHT + 40) - 20))
  [ "$px" -ge 0 ] || px=0
  [ "$py" -ge 0 ] || py=0
}

drag() {
  local button=$1
  random_point
  xdotool mousemove "$px" "$py" mousedown "$button"
  for _ in $(seq $((1 + RANDOM % 5))); do
    random_point
    xdotool mousemove "$px" "$py" sleep 0.0$((RANDOM % 10))
  done
  xdotool mouseup "$button"
}

toggle_arrow() {
  local key=${arrows[$((RANDOM % 4))]}
  if [[ " ${held_keys[*]} " == *" $key "* ]]; then
    xdotool keyup "$key"
    held_keys=("${held_keys[@]/$key/}")
  else
    xdotool keydown "$key"
    held_keys+=("$key")
  fi
}

reshape() {
  local w=${sides[$((RANDOM % ${#sides[@]}))]}
  local h=${sides[$((RANDOM % ${#sides[@]}))]}
  xdotool windowsize "$toplevel" "$w" "$h"
}

minimise_and_restore() {
  xdotool windowminimize "$toplevel" 2>/dev/null || true
  xdotool windowunmap --sync "$toplevel"
  sleep 0.$((RANDOM % 5))
  xdotool windowmap --sync "$toplevel"
  xdotool windowfocus "$toplevel" 2>/dev/null || true
}

end=$((SECONDS + seconds))
while [ "$SECONDS" -lt "$end" ]; do
  roll=$((RANDOM % 100))
  if [ "$roll" -lt 25 ]; then
    random_point
    xdotool mousemove "$px" "$py"
  elif [ "$roll" -lt 40 ]; then
    random_point
    xdotool mousemove "$px" "$py" click 1
  elif [ "$roll" -lt 55 ]; then
    drag 1
  elif [ "$roll" -lt 63 ]; then
    drag 3
  elif [ "$roll" -lt 66 ]; then
    drag 2
  elif [ "$roll" -lt 69 ]; then
    xdotool click $((4 + RANDOM % 4))  # wheel steps: no button of the game's
  elif [ "$roll" -lt 79 ]; then
    toggle_arrow
  elif [ "$roll" -lt 82 ]; then
    keys=(a space Escape Return F1 Home Page_Up BackSpace q)
    xdotool key "${keys[$((RANDOM % ${#keys[@]}))]}"
  elif [ "$roll" -lt 88 ]; then
    reshape
  elif [ "$roll" -lt 90 ]; then
    xdotool windowmove "$toplevel" $((RANDOM % 1400 - 100)) $((RANDOM % 1100 - 100))
  elif [ "$roll" -lt 92 ]; then
    minimise_and_restore
  else
    sleep 0.$((RANDOM % 10))
  fi
  actions=$((actions + 1))
  expect_alive "action $actions (roll $roll)"
done

for key in "${held_keys[@]}"; do
  [ -n "$key" ] && xdotool keyup "$key"
done
# Back to a usual size for the last look: the game still draws.
xdotool windowsize --sync "$toplevel" 800 600 2>/dev/null || xdotool windowsize "$toplevel" 800 600
sleep 1
expect_alive "the last look"
window_drawn || fail "the window shows nothing after the soak"
close_and_check "$closer"
echo "$actions random actions in $seconds s: the game stayed up, drew and closed cleanly"
