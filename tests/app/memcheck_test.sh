#!/usr/bin/env bash
# Plays the real game briefly under Valgrind's memcheck in a virtual X server:
# the title dismissed, a blob grabbed and thrown, the camera turned and slid,
# the window resized, then closed. Fails on any invalid access, use of
# uninitialised memory or leak (definite or indirect) that tests/valgrind.supp
# does not put down to the X, GLUT or Mesa libraries.
#
# Usage: memcheck_test.sh <jellyquake> <close_window> <folder holding graphics/> <suppressions>
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"

game=$(realpath "$1")
closer=$2
data=$3
suppressions=$(realpath "$4")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/memcheck.log"

(cd "$data" && exec valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect \
  --keep-debuginfo=yes --num-callers=40 --suppressions="$suppressions" \
  --log-file="$log" "$game") 2>"$work/game.err" &
pid=$!
find_window

eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((X + WIDTH / 2))
cy=$((Y + HEIGHT / 2))
xdotool mousemove "$cx" "$cy" click 1 sleep 1 \
  mousemove $((cx + 30)) $((cy + 20)) sleep 1 mousedown 1 \
  mousemove $((cx + 90)) $((cy + 80)) sleep 1 mouseup 1 sleep 1 \
  mousedown 3 mousemove $((cx - 60)) "$cy" sleep 0.5 mouseup 3 \
  keydown Up sleep 1 keyup Up
xdotool windowsize "$toplevel" 333 201 sleep 1
xdotool windowsize "$toplevel" 1 1 sleep 1
xdotool windowsize "$toplevel" 800 600 sleep 1
expect_alive "play under memcheck"

"$closer" "$toplevel" || fail "could not ask the window to close"
wait_for_exit "$pid"
if [ "$status" != 0 ]; then
  cat "$log" >&2
  fail "memcheck found errors (status $status)"
fi
grep -E "ERROR SUMMARY|definitely lost|indirectly lost" "$log" | sed 's/^==[0-9]*== *//'
grep -q "ERROR SUMMARY: 0 errors" "$log" || fail "memcheck counted errors"
