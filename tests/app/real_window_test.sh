#!/usr/bin/env bash
# Starts the game in a virtual X server with a 1280 x 1024 screen and checks
# its window: titled "Jellyquake", drawing into 1024 x 768 pixels centred at
# (128, 128), drawn, and closing it (as a window manager's close button does)
# ends the process with status 0 and nothing on standard error. Then, with a
# probe screen, that pointer, buttons and keys reach the screen mapped and
# normalised, a held key once, a window hidden and shown again is told so; that a
# paused screen gets frames only when something happens, and a stopped process
# comes back out of play with no long step; and that an error raised by
# a screen, before or inside the loop, is written on standard error alone, as
# one line (on Windows also in a message box), with exit status 1.
#
# Usage: real_window_test.sh <jellyquake> <shell_probe> <close_window>
# (both programs run through $JQ_RUN_WITH when that is set, as in game_driver.sh;
# the Windows build's lines end with CR LF, as text written on Windows does).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"

game=$1
probe=$2
closer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
line_end=$'\n'
[ -z "${JQ_RUN_WITH:-}" ] || line_end=$'\r\n'

start_game "$game" "$(dirname "$game")"
find_window
[ "$(xdotool getwindowname "$toplevel")" = "Jellyquake" ] || fail "wrong title"
info=$(xwininfo -id "$window")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
[ "$(field Width)" = 1024 ] || fail "width $(field Width), not 1024"
[ "$(field Height)" = 768 ] || fail "height $(field Height), not 768"
[ "$(field 'Absolute upper-left X')" = 128 ] || fail "x $(field 'Absolute upper-left X')"
[ "$(field 'Absolute upper-left Y')" = 128 ] || fail "y $(field 'Absolute upper-left Y')"

window_drawn || fail "the window shows nothing"
close_and_check "$closer"
echo "window: 1024 x 768 at (128, 128), drawn, closed with status 0"

# The pointer waits outside, so the window does not appear under it.
xdotool mousemove 0 0
${JQ_RUN_WITH:-} "$probe" input >"$work/input.log" 2>"$work/game.err" &
pid=$!
find_window
xdotool windowfocus --sync "$toplevel"
# Pixel centres of the corners: (0.5 / 1024, 1 - 0.5 / 768) and the opposite.
xdotool mousemove --window "$window" 0 0 sleep 0.2
xdotool mousemove --window "$window" 1023 767 sleep 0.2
# Left, right, then a wheel step, which is no button of the game's.
xdotool click 1 sleep 0.2 click 3 sleep 0.2 click 4 sleep 0.2
# Held well past the auto-repeat delay.
xdotool keydown a sleep 1.5 keyup a sleep 0.2
xdotool key Left sleep 0.2 key F1 sleep 0.2
# Hidden and shown again, as when minimised and restored.
hide_window
sleep 0.2
show_window
# Without a window manager nobody gives the keyboard back to a window mapped again.
xdotool windowfocus --sync "$toplevel"
sleep 0.2
close_and_check "$closer"
cat >"$work/expected.log" <<'END'
Enter
Reshape 1024 768
Visibility shown
MouseMove 0.000488 0.999349
MouseMove 0.999512 0.000651
MouseButton 0 down
MouseButton 0 up
MouseButton 2 down
MouseButton 2 up
Key 97 down
Key 97 up
SpecialKey 12 down
SpecialKey 12 up
SpecialKey 0 down
SpecialKey 0 up
Visibility hidden
Visibility shown
END
tr -d '\r' <"$work/input.log" | diff -u "$work/expected.log" - || fail "the screen saw other input events"
echo "input: pointer normalised, buttons and keys mapped, a held key once, hiding told"

log=$work/idle.log
${JQ_RUN_WITH:-} "$probe" idle >"$log" 2>"$work/game.err" &
pid=$!
find_window
drawer=$(xdotool getwindowpid "$toplevel" 2>/dev/null) || drawer=$pid # Wine's, or GLUT's
xdotool windowfocus --sync "$toplevel"
xdotool mousemove --window "$window" 100 100 sleep 0.5
count() { grep -c "^$1"$'\r*$' "$log" || true; }
since() { tr -d '\r' <"$log" | tail -n +$(($1 + 1)); }  # the log after line $1

# Paused, with the pointer still, nothing is drawn; a pointer move draws.
xdotool key p sleep 0.5
before=$(count Draw)
sleep 2
[ "$(count Draw)" -le $((before + 1)) ] || fail "$(($(count Draw) - before)) frames drawn while paused"
xdotool mousemove --window "$window" 300 300 sleep 0.5
[ "$(count Draw)" -gt "$before" ] || fail "a pointer move on the paused screen drew nothing"
xdotool key p sleep 1
[ "$(count Draw)" -gt $((before + 10)) ] || fail "frames did not come back when the screen went on"
echo "idle: no frames while paused and still, one for a pointer move, a stream when going on"

# Stopped for 3 s: the gap is no step; the screen is told it was out of play.
mark=$(wc -l <"$log")
kill -STOP "$drawer" && sleep 3 && kill -CONT "$drawer" && sleep 1
since "$mark" | grep -q '^Visibility hidden$' || fail "a stall went unannounced"
[ -z "$(since "$mark" | awk '$1 == "Step" && $2 >= 1')" ] || fail "the stall was played"
close_and_check "$closer"
echo "stall: 3 s stopped, told out of play, no step of a second or more"

printf "couldn't place a new hole%s" "$line_end" >"$work/expected.err"
# On Windows the line shows in a message box too, whose text the seam writes to a file.
box_file=$work/box.txt
[ -z "${JQ_RUN_WITH:-}" ] || box_file=Z:$box_file
for kind in text string exception enter; do
  rm -f "$work/box.txt"
  JQ_MESSAGE_BOX_FILE=$box_file ${JQ_RUN_WITH:-} "$probe" "$kind" >/dev/null 2>"$work/probe.err" &
  wait_for_exit $!
  [ "$status" = 1 ] || fail "$kind: exit status $status, not 1"
  cmp -s "$work/expected.err" "$work/probe.err" ||
    fail "$kind: standard error was '$(cat "$work/probe.err")'"
  [ -z "${JQ_RUN_WITH:-}" ] || cmp -s "$work/expected.err" "$work/box.txt" ||
    fail "$kind: the message box said '$(cat "$work/box.txt" 2>/dev/null)'"
  echo "$kind error: reported on standard error${JQ_RUN_WITH:+ and in a message box}, exit status 1"
done
