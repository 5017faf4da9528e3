#!/usr/bin/env bash
# Plays one game of the real binary in a virtual X server, in real time, as a
# player would, and checks each step on screenshots: the title shows and a click
# takes it away; the morale bar sits in its frame; a blob is grabbed, its sling
# pulled down and let go, and it flies away from the pull; a right drag orbits the
# camera toward the horizon and an arrow key pans it; P and Esc pause and resume
# it, and a window hidden and shown again comes back paused until a click, as does
# one that lost the keyboard to another window with an arrow key held (the camera
# does not slide on after) and a game stopped for 3 s and continued; when the
# 90 seconds run out the completion image shows with a final score and the best of
# the sitting; a click starts the next game with the full blob count; and nothing
# was written, in the game's folder or its home. The screenshots are kept in
# <folder>/play_through on failure.
# JQ_TRACE=1 traces every command.
#
# Usage: play_through_test.sh <jellyquake> <close_window> <folder holding graphics/>
set -euo pipefail
[ -z "${JQ_TRACE:-}" ] || set -x

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../app/game_driver.sh"

game=$(realpath "$1")
closer=$2
data=$3
work="$data/play_through"
rm -rf "$work"
mkdir -p "$work"

# Colour classes of the game's pictures, for ImageMagick's -fx (channels 0 to 1):
# the title's and end image's orange lettering, the display's dark ink, the blobs'
# blue jelly and the pale green of sky and fog.
LETTERING='r>200/255 && g>80/255 && g<225/255 && b<110/255 && r-b>140/255'
INK='max(r,max(g,b))<70/255'
BLUE='b>100/255 && b-r>45/255'
SKY='r>150/255 && r<210/255 && g>235/255 && b>150/255 && b<210/255'

# Saves a screenshot as $work/$1.png.
shot() {
  import -window "$window" "$work/$1.png" 2>/dev/null || fail "no screenshot $1"
}

# The share (0 to 1) of pixels of a colour class in a rectangle x0 y0 x1 y1 of a shot.
# -fx is slow: large rectangles are judged on every fourth pixel each way.
share() {
  local name=$1 class=$2 x0=$3 y0=$4 x1=$5 y1=$6 scale=100%
  [ $(((x1 - x0) * (y1 - y0))) -lt 40000 ] || scale=25%
  convert "$work/$name.png" -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage -sample "$scale" \
    -fx "$class" -format '%[fx:mean]' info:
}

# How many pixels differ clearly between two shots in a rectangle (default: all).
differing() {
  local crop=${3:-${W}x${H}+0+0} count
  convert "$work/$1.png" -crop "$crop" +repage "$work/crop-a.png"
  convert "$work/$2.png" -crop "$crop" +repage "$work/crop-b.png"
  count=$(compare -metric AE -fuzz 16% "$work/crop-a.png" "$work/crop-b.png" null: 2>&1 || true)
  echo "${count%% *}"
}

# True if a share is above a limit.
above() { awk -v s="$1" -v l="$2" 'BEGIN { exit !(s > l) }'; }

# True if two shots agree in every pixel.
identical() {
  local count
  count=$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)
  [ "${count%% *}" = 0 ]
}

# The share of pixels of the play area that differ clearly between two shots.
changed() {
  awk -v p="$(differing "$1" "$2" "${W}x$((H - TOP))+0+$TOP")" -v n=$((W * (H - TOP))) \
    'BEGIN { print p / n }'
}

# Waits up to $1 seconds for a shot named $2 on which the command after passes.
wait_for() {
  local seconds=$1 name=$2
  shift 2
  local end=$((SECONDS + seconds))
  while :; do
    shot "$name"
    "$@" && return 0
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.25
  done
}

# The blue share about a point x y of a shot, within two fifths of a blob's radius.
spot() { share "$1" "$BLUE" $(($2 - r2)) $(($3 - r2)) $(($2 + r2)) $(($3 + r2)); }
left_spot() { ! above "$(spot "$1" "$bx" "$by")" 0.3; }

# What the screen shows: the layout measures in half window widths.
# The title's "ke", right of where the end display's lettering ends.
is_title() {
  above "$(share "$1" "$LETTERING" $((W * 76 / 100)) $((H / 2 - W * 15 / 100)) $((W * 86 / 100)) $((H / 2 - W * 7 / 100)))" 0.08
}
# The morale label's dark outline: some ink, but not a black window.
is_running() {
  local ink
  ink=$(share "$1" "$INK" $((W * 3 / 200)) $((W * 3 / 200)) $((W * 31 / 200)) $((W / 20)))
  above "$ink" 0.05 && ! above "$ink" 0.6
}
is_complete() {
  above "$(share "$1" "$LETTERING" $((W / 4)) $((H / 2 - W / 8)) $((W * 3 / 4)) $((H / 2)))" 0.025 &&
    ! is_title "$1"
}
playing() { ! is_title "$1" && is_running "$1"; }
ended() { is_complete "$1" && ! is_running "$1"; }
playing_again() { is_running "$1" && ! is_complete "$1"; }
# The bright blue of the "Paused" lettering, which the dimmed blobs under it lack.
is_paused() {
  above "$(share "$1" 'b>220/255 && b-r>60/255' $((W * 32 / 100)) $((H / 2 - W * 7 / 100)) \
    $((W * 68 / 100)) $((H / 2 + W * 15 / 1000)))" 0.08
}
# Two shots two seconds apart, named $1-a and $1-b, agree: the game stands still.
still() {
  shot "$1-a"
  sleep 2
  shot "$1-b"
  identical "$1-a" "$1-b" && is_paused "$1-b"
}
# Two shots a second and a half apart differ: the game goes on.
moving() {
  shot "$1-a"
  sleep 1.5
  shot "$1-b"
  ! identical "$1-a" "$1-b"
}

# The blobs of a shot, nearest the middle first: "x y area" a line, in window pixels
# (found on every second pixel each way).
blobs() {
  convert "$work/$1.png" -crop "${W}x$((H - TOP))+0+$TOP" +repage -sample 50% -fx "$BLUE" \
    -define connected-components:verbose=true \
    -define connected-components:area-threshold=$((W * H / 10000)) \
    -connected-components 8 null: |
    awk -v top="$TOP" -v w="$W" -v h="$H" '$NF ~ /gray\(255\)|white|\(255,255,255\)/ {
      split($3, c, ","); x = 2 * c[1]; y = 2 * c[2] + top; d = (x - w / 2) ^ 2 + (y - h / 2) ^ 2
      printf "%d %.0f %.0f %d\n", d, x, y, 4 * $4 }' | sort -n | cut -d' ' -f2-
}

# The game plays in a folder and a home of its own, where anything it wrote would
# show: it keeps no files, not even the best score. (The graphics driver's shader
# cache would go there too; it is not the game's, so it is off.)
mkdir -p "$work/run" "$work/home"
ln -s "$(realpath "$data/graphics")" "$work/run/graphics"
ln -s "$(realpath "$data/sounds")" "$work/run/sounds"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_STATE_HOME XDG_CACHE_HOME
HOME="$work/home" MESA_SHADER_CACHE_DISABLE=true start_game "$game" "$work/run"
find_window
eval "$(xdotool getwindowgeometry --shell "$window")"
W=$WIDTH H=$HEIGHT TOP=$((W * 6 / 100)) # the running display's strip is 0.12 half widths
echo "window $W x $H"
xdotool mousemove --window "$window" $((W / 2)) $((H / 2))

# A loaded machine may take a while to draw the first frame.
wait_for 30 01-title is_title 01-title || fail "the title is not shown"
xdotool click 1
started=$SECONDS
# Under Wine the click also opens the sound, which a loaded machine has been seen to
# take several seconds over.
wait_for 20 02-playing playing 02-playing || fail "a click did not take the title away"
# The morale bar fills part of its frame and none of the gap after it.
BAR='r>200/255 && g>100/255 && b<80/255'
above "$(share 02-playing "$BAR" $((W * 15 / 100)) $((W * 2 / 100)) $((W * 48 / 100)) $((W * 4 / 100)))" 0.1 ||
  fail "no morale bar"
! above "$(share 02-playing "$BAR" $((W * 51 / 100)) $((W * 2 / 100)) $((W * 55 / 100)) $((W * 4 / 100)))" 0.3 ||
  fail "the morale bar runs out of its frame"

# Early, while the game surely runs: another window takes the keyboard with an
# arrow key held; a click brings the game back, and the camera stays put. Then
# the process stops for 3 s.
since=$SECONDS
xdotool windowfocus --sync "$toplevel" keydown Left sleep 0.2
focus_other_window
xdotool keyup Left sleep 0.5
still 02f-unfocused || fail "the game went on behind another window"
kill "$other_pid"
xdotool windowfocus --sync "$toplevel" click 1 sleep 0.5
started=$((started + SECONDS - since))
moving 02f-back || fail "a click on the game paused by another window did not bring it back"
! above "$(changed 02f-back-a 02f-back-b)" 0.2 || fail "the camera slid on after focus came back"
drawer=$(xdotool getwindowpid "$toplevel" 2>/dev/null) || drawer=$pid # Wine's, or GLUT's
since=$SECONDS
kill -STOP "$drawer" && sleep 3 && kill -CONT "$drawer" && sleep 0.5
still 02s-stalled || fail "the game did not come back paused from 3 s stopped"
xdotool click 1
started=$((started + SECONDS - since))
moving 02s-back || fail "a click did not bring back the game paused by a stall"
echo "ok: losing the keyboard and a stall pause the game, and no key stays held"

# Grab and flick: a blob near the middle is grabbed at once (blobs hop now and then),
# its sling pulled down the screen and let go. It flies up the screen, away from the
# pull; a blob whose landing spot is taken stays put, so the next one is tried.
flicked=""
for attempt in 1 2 3 4 5 6; do
  shot 03-untouched
  read -r bx by area < <(blobs 03-untouched | sed -n "${attempt}p") || break
  radius=$(awk -v a="$area" 'BEGIN { printf "%.0f", sqrt(a / 3.14159) * 1.15 }')
  r2=$((radius * 2 / 5))
  py=$((by + 2 * radius))
  # The pull ends on open ground, so a blob seen there later came by the throw.
  above "$(spot 03-untouched "$bx" "$by")" 0.5 && ! above "$(spot 03-untouched "$bx" "$py")" 0.2 || continue
  xdotool mousemove --window "$window" "$bx" "$by"
  sleep 0.2
  xdotool mousedown 1
  for step in 1 2 3 4; do
    xdotool mousemove --window "$window" "$bx" $((by + step * radius / 2))
    sleep 0.05
  done
  sleep 0.3
  shot 04-aiming
  xdotool mouseup 1
  sleep 1
  if wait_for 3 05-flicked left_spot 05-flicked; then
    flicked=yes
    break
  fi
done
[ -n "$flicked" ] || fail "no blob near the middle could be flicked"
echo "blob at $bx,$by (radius $radius) flicked"
! above "$(spot 05-flicked "$bx" "$py")" 0.3 || fail "the blob flew toward the pull, not away from it"
echo "ok: a blob was grabbed and flicked away from the pull"

# Orbit with a right drag, pan with an arrow key.
xdotool mousemove --window "$window" $((W / 2)) $((H / 2))
sleep 0.2
shot 06-before-orbit
xdotool mousedown 3
for step in 1 2 3 4 5 6 7 8; do
  xdotool mousemove --window "$window" $((W / 2 + W * 12 * step / 800)) $((H / 2 - H * 5 * step / 800))
  sleep 0.04
done
xdotool mouseup 3
sleep 0.3
shot 07-orbited
above "$(changed 06-before-orbit 07-orbited)" 0.3 || fail "a right drag did not orbit the camera"
# Dragged up, the camera sinks toward the horizon: the fog-green sky shows at the top.
sky() { share "$1" "$SKY" 0 "$TOP" "$W" $((TOP + H / 8)); }
! above "$(sky 06-before-orbit)" 0.3 && above "$(sky 07-orbited)" 0.7 ||
  fail "dragging up did not lower the camera toward the horizon"
xdotool keydown Left
sleep 0.4
xdotool keyup Left
sleep 0.3
shot 08-panned
above "$(changed 07-orbited 08-panned)" 0.2 || fail "an arrow key did not pan the camera"
echo "ok: the camera orbits and pans"

# Pause. The pointer stays put, so even the hand stands still while paused. The
# game's 90 seconds wait for every pause: its time is added to the start.
for key in p Escape; do
  since=$SECONDS
  xdotool key "$key"
  sleep 0.5
  still "09-paused-$key" || fail "$key did not pause the game"
  xdotool key "$key"
  started=$((started + SECONDS - since))
  moving "10-resumed-$key" || fail "a second $key did not bring the game back"
done
since=$SECONDS
hide_window
sleep 1
show_window
find_window
sleep 0.5
still 11-shown-again || fail "the game went on while its window was hidden, or after"
xdotool click 1
started=$((started + SECONDS - since))
moving 12-clicked-on || fail "a click on the paused game did not bring it back"
echo "ok: P, Esc and a hidden window pause the game"


# F11 fills the screen with the game and a second F11 puts the window back where it
# was. freeglut needs a window manager to put its window back, and this X server
# has none, so only the Windows window (under Wine) is held to it here.
if [ -n "${JQ_RUN_WITH:-}" ]; then
  placed() { xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=' | tr '\n' ' '; }
  # True once the window is placed as given, within a few seconds.
  placed_at() {
    for _ in $(seq 50); do
      [ "$(placed)" = "$1" ] && return 0
      sleep 0.1
    done
    return 1
  }
  windowed=$(placed)
  full=$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print "X=0 Y=0 WIDTH=" w " HEIGHT=" h " " }')
  xdotool key F11
  placed_at "$full" || fail "F11 did not fill the screen ($full): $(placed)"
  shot 08-full-screen
  window_drawn || fail "nothing drawn full screen"
  xdotool key F11
  placed_at "$windowed" || fail "a second F11 left the window at $(placed), not $windowed"
  echo "ok: F11 fills the screen and comes back"
fi

# The game lasts 90 seconds from the click on the title, unless the board swallows
# every blob first: left alone, one in ten games loses its last blob before 80 s,
# none of 2000 before 40 s (jellyquake-sim --games 2000 --player none). A clock that
# runs fast ends the game within seconds, so still on at 40 s is the check.
left=$((started + 40 - SECONDS))
[ "$left" -le 0 ] || sleep "$left"
shot 13-running
playing_again 13-running || fail "the game was over before 40 s"
left=$((started + 87 - SECONDS))
[ "$left" -le 0 ] || sleep "$left"
wait_for 25 14-complete ended 14-complete || fail "no completion image when the clock ran out"
echo "ok: the completion image shows after $((SECONDS - started)) s"
# The final score's first two glyphs, right of the middle below the image.
for glyph in 0 1; do
  x0=$((W / 2 + glyph * W * 35 / 1000 + W * 4 / 1000))
  above "$(share 14-complete "$INK" "$x0" $((H / 2 + W / 40)) $((x0 + W * 27 / 1000)) $((H / 2 + W * 7 / 80)))" 0.1 ||
    fail "no final score shown (glyph $glyph)"
  # The best of the sitting, this first game's score, on the row below.
  above "$(share 14-complete "$INK" "$x0" $((H / 2 + W / 10)) $((x0 + W * 27 / 1000)) $((H / 2 + W * 13 / 80)))" 0.1 ||
    fail "no best score shown (glyph $glyph)"
done

sleep 1 # a click counts from three quarters of a second after the end
xdotool mousemove --window "$window" $((W / 2)) $((H / 2))
sleep 0.2
xdotool click 1
wait_for 5 15-new-game playing_again 15-new-game || fail "a click after the end did not start a new game"
# The blob count at the top right reads as at the first game's start.
count=$(differing 02-playing 15-new-game "$((W * 8 / 200))x$((W * 7 / 200))+$((W * 1325 / 2000))+$((W * 3 / 200))")
[ "$count" -lt $((W * W / 4000)) ] || fail "the new game's blob count differs from the first's ($count pixels)"
echo "ok: a click starts the next game with every blob"

expect_alive "the end of the play-through"
close_and_check "$closer"
# The sound server's client library leaves a link to its runtime folder in the
# home; that one is not the game's.
written=$(find "$work/run" "$work/home" -mindepth 1 -not -type d -not -name graphics \
  -not -name sounds -not -path "$work/home/.config/pulse/*")
[ -z "$written" ] || fail "the game wrote files: $written"
rm -rf "$work"
echo "the play-through passed"
