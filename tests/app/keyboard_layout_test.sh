#!/usr/bin/env bash
# P and M on a layout that types no Latin letters: the layouts English and Russian,
# the Russian one on, as a Russian player's usually are (Wine learns the keys' places
# from the first; with Russian alone it gives VK_OEM_102 for P's key, where Windows
# gives VK 'P'). The keys marked P and M type з and ь, yet P pauses the game (it
# stands still) and M shows the muted speaker in the corner; second presses undo both.
# Usage: keyboard_layout_test.sh <jellyquake> <close_window> <folder holding graphics/>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1024x768x24
setxkbmap -layout us,ru -option grp:caps_toggle # before Wine's X driver reads it
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"
game=$(realpath "$1") closer=$2 data=$3
work="$data/keyboard_layout"
rm -rf "$work" && mkdir -p "$work"

shot() { import -window "$window" "$work/$1.png" 2>/dev/null || fail "no screenshot $1"; }
# Pixels that differ clearly between two shots, in a crop of them (default all).
differing() {
  local count
  count=$(compare -metric AE -fuzz 16% -extract "${3:-${W}x${H}+0+0}" \
    "$work/$1.png" "$work/$2.png" null: 2>&1 || true)
  echo "${count%% *}"
}
still() { shot "$1-a" && sleep 1 && shot "$1-b" && [ "$(differing "$1-a" "$1-b")" = 0 ]; }
press() { xdotool key "$1" sleep 0.5; }

start_game "$game" "$data"
find_window
eval "$(xdotool getwindowgeometry --shell "$window")"
W=$WIDTH H=$HEIGHT
corner="$((H / 5))x$((H / 5))+$((W - H / 5))+$((H - H / 5))" # the muted speaker's
sleep 2
xdotool mousemove $((X + W / 2)) $((Y + H / 2)) click 1 sleep 0.5 key ISO_Next_Group sleep 0.5
still running && fail "the game stands still before any key"
press Cyrillic_ze
still p || fail "the key marked P (з on this layout) did not pause the game"
press Cyrillic_softsign
shot m
[ "$(differing p-b m "$corner")" -gt 50 ] || fail "the key marked M (ь) showed no muted speaker"
press Cyrillic_softsign
shot m-again
[ "$(differing p-b m-again)" = 0 ] || fail "a second M did not take the muted speaker away"
press Cyrillic_ze
still p-again && fail "a second P did not bring the game back"
close_and_check "$closer"
rm -rf "$work"
echo "ok: P pauses and M mutes on a Russian layout"
