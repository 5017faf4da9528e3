#!/usr/bin/env bash
# The game's keys on a keyboard that types no Latin letters: with the X keyboard
# layout Russian, the keys marked P and M type з and ь, yet P pauses the game
# and M mutes it (the muted speaker shows in the corner), each undone by a second
# press. Screenshots stay in <folder>/keyboard_layout on failure.
# The layouts are English and Russian, the Russian one switched on, as a Russian
# player's usually are: Wine learns its keys' places from the first layout, and
# with the Russian one alone it knows none of them (VK_OEM_102 for the key of P),
# where Windows with its Russian layout gives VK 'P'.
# Usage: keyboard_layout_test.sh <jellyquake> <close_window> <folder holding graphics/>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1024x768x24
# Before the game starts: Wine reads the layouts once, as its X driver comes up.
setxkbmap -layout us,ru -option grp:caps_toggle
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"
game=$(realpath "$1") closer=$2 data=$3
work="$data/keyboard_layout"
rm -rf "$work"
mkdir -p "$work"

shot() { import -window "$window" "$work/$1.png" 2>/dev/null || fail "no screenshot $1"; }
# How many pixels differ clearly between two shots, in a crop of them (default all).
differing() {
  local count
  count=$(compare -metric AE -fuzz 16% -extract "${3:-${W}x${H}+0+0}" \
    "$work/$1.png" "$work/$2.png" null: 2>&1 || true)
  echo "${count%% *}"
}
# A paused game stands still: two shots a second apart agree.
paused() {
  shot "$1-a"
  sleep 1
  shot "$1-b"
  [ "$(differing "$1-a" "$1-b")" = 0 ]
}

start_game "$game" "$data"
find_window
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^/WIN_/')"
W=$WIN_WIDTH H=$WIN_HEIGHT
# The muted speaker's corner: the bottom right, a fifth of the height each way.
corner="$((H / 5))x$((H / 5))+$((W - H / 5))+$((H - H / 5))"
sleep 2
xdotool mousemove $((WIN_X + W / 2)) $((WIN_Y + H / 2)) click 1
# The Russian layout on: the keys now type Cyrillic letters.
xdotool key ISO_Next_Group
sleep 1

paused running && fail "the game stands still before any key"
xdotool key Cyrillic_ze
sleep 0.5
paused p-pressed || fail "the key marked P (з on this layout) did not pause the game"

xdotool key Cyrillic_softsign
sleep 0.5
shot m-pressed
[ "$(differing p-pressed-b m-pressed "$corner")" -gt 50 ] ||
  fail "the key marked M (ь on this layout) showed no muted speaker"
[ "$(differing p-pressed-b m-pressed)" = "$(differing p-pressed-b m-pressed "$corner")" ] ||
  fail "M changed the picture outside the speaker's corner"
xdotool key Cyrillic_softsign
sleep 0.5
shot m-again
[ "$(differing p-pressed-b m-again)" = 0 ] || fail "a second M did not take the muted speaker away"

xdotool key Cyrillic_ze
sleep 0.5
paused p-again && fail "a second P did not bring the game back"
expect_alive "pressing keys on a Russian layout"
close_and_check "$closer"
rm -rf "$work"
echo "ok: P pauses and M mutes on a Russian layout"
