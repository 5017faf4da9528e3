#!/usr/bin/env bash
# Starts the game in a virtual X server with a 1280 x 1024 screen and checks
# its window: titled "Jellyquake", 1024 x 768 and centred at (128, 128), drawn,
# and closing it (as a window manager's close button does) ends the process
# with status 0 and nothing on standard error. Then checks that an error raised
# by a screen, before or inside the loop, is written on standard error alone,
# as one line, with exit status 1.
#
# Usage: real_window_test.sh <jellyquake> <shell_failure_probe> <close_window>
set -euo pipefail

if [ -z "${JQ_INSIDE_XVFB:-}" ]; then
  # -a picks a free display: other builds may run their own virtual servers.
  exec env JQ_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

game=$1
probe=$2
closer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to 20 s for the process to end and puts its exit status in $status.
# (It must run in this shell, not a subshell, to wait for its own child.)
wait_for_exit() {
  local pid=$1
  for _ in $(seq 200); do
    if ! kill -0 "$pid" 2>/dev/null; then
      status=0
      wait "$pid" || status=$?
      return
    fi
    sleep 0.1
  done
  kill "$pid"
  fail "process $pid did not end"
}

"$game" 2>"$work/game.err" &
pid=$!
window=$(timeout 20 xdotool search --sync --name '^Jellyquake$' | head -n 1) ||
  fail "no window titled Jellyquake"
[ "$(xdotool getwindowname "$window")" = "Jellyquake" ] || fail "wrong title"

for _ in $(seq 100); do
  xwininfo -id "$window" | grep -q 'Map State: IsViewable' && break
  sleep 0.1
done
info=$(xwininfo -id "$window")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
[ "$(field Width)" = 1024 ] || fail "width $(field Width), not 1024"
[ "$(field Height)" = 768 ] || fail "height $(field Height), not 768"
[ "$(field 'Absolute upper-left X')" = 128 ] || fail "x $(field 'Absolute upper-left X')"
[ "$(field 'Absolute upper-left Y')" = 128 ] || fail "y $(field 'Absolute upper-left Y')"

# Something was drawn: the window is not all black.
drawn=0
for _ in $(seq 50); do
  import -window "$window" "$work/shot.png" 2>/dev/null || true
  if [ -s "$work/shot.png" ] && [ "$(convert "$work/shot.png" -format '%[max]' info:)" != 0 ]; then
    drawn=1
    break
  fi
  sleep 0.1
done
[ "$drawn" = 1 ] || fail "the window shows nothing"

"$closer" "$window" || fail "could not ask the window to close"
wait_for_exit "$pid"
[ "$status" = 0 ] || fail "closing the window ended the game with status $status"
[ ! -s "$work/game.err" ] || fail "unexpected output on standard error: $(cat "$work/game.err")"
echo "window: 1024 x 768 at (128, 128), drawn, closed with status 0"

printf "couldn't place a new hole\n" >"$work/expected.err"
for kind in text string exception enter; do
  "$probe" "$kind" 2>"$work/probe.err" &
  wait_for_exit $!
  [ "$status" = 1 ] || fail "$kind: exit status $status, not 1"
  cmp -s "$work/expected.err" "$work/probe.err" ||
    fail "$kind: standard error was '$(cat "$work/probe.err")'"
  echo "$kind error: reported on standard error, exit status 1"
done
