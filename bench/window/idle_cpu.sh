#!/usr/bin/env bash
# Prints the game's CPU time over 10 s (JQ_BENCH_IDLE_SECONDS) playing, paused
# with the pointer still, and minimised, in the X server the caller started. A
# paused or hidden game waits for events, so its figures stand against the
# playing one's: a game that spun while paused would show them alike.
#
# Usage: idle_cpu.sh <game> <close_window> <label>
# (the game runs through $JQ_RUN_WITH and is minimised with $JQ_SHOW_WINDOW when
# those are set, as in tests/app/game_driver.sh).
set -euo pipefail
game=$(realpath "$1")
closer=$2
label=$3
seconds=${JQ_BENCH_IDLE_SECONDS:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/app/game_driver.sh"

start_game "$game" "$(dirname "$game")"
find_window
# The process that runs the game: under Wine the one its window names.
drawer=$(xdotool getwindowpid "$toplevel" 2>/dev/null) || drawer=$pid
# User and system time of every thread of the process, in seconds.
cpu() { awk -v tick="$(getconf CLK_TCK)" '{ print ($14 + $15) / tick }' "/proc/$drawer/stat"; }
# The share of one core the game took over the next $seconds.
share_over() {
  local before
  before=$(cpu)
  sleep "$seconds"
  awk -v a="$before" -v b="$(cpu)" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * (b - a) / s }'
}
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool windowfocus --sync "$toplevel"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 sleep 1
playing=$(share_over)
xdotool key p sleep 1
paused=$(share_over)
hide_window
sleep 1
hidden=$(share_over)
show_window
expect_alive "the idle measure"
"$closer" "$toplevel" || true
wait_for_exit "$pid"
worst=$(printf '%s\n%s\n' "$paused" "$hidden" | sort -g | tail -n 1)
verdict=$(awk -v w="$worst" 'BEGIN { print (w < 2) ? "meets the goal" : "MISSES the goal" }')
printf 'idle, %s: CPU over %d s playing %s %% of a core, paused %s %%, minimised %s %%   goal paused and minimised < 2 %%: %s\n' \
  "$label" "$seconds" "$playing" "$paused" "$hidden" "$verdict"
