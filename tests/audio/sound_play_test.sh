#!/usr/bin/env bash
# The real game heard through a recording in place of a sound card (record_sound:
# OpenAL's file-writing backend, or Wine's ALSA driver for the Windows build) in a
# virtual X server:
# silent while the title waits, sound at the grab and flick, never full scale.
# Then where no sound device opens: silent, nothing on standard error, a normal exit.
# Usage: sound_play_test.sh <jellyquake> <close_window> <sound_levels> <build folder>
# (the game runs through $JQ_RUN_WITH when that is set, as in game_driver.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/../app/game_driver.sh"
game=$(realpath "$1") closer=$2 levels=$3 data=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset ALSOFT_LOGLEVEL
now() { date +%s.%N; }

# "x y": the blob nearest the window's centre, from every other pixel of the
# window's middle half (blue: b > 100 and b - r > 45).
blob_near_centre() {
  import -window "$window" "$work/shot.png"
  convert "$work/shot.png" -gravity center -crop 50%x50%+0+0 -sample 50% -depth 8 txt:- |
    awk -F'[,:() ]+' -v w="$WIDTH" -v h="$HEIGHT" '
    NR > 1 && $5 > 100 && $5 - $3 > 45 {
      n++; x[n] = w / 4 + 2 * $1; y[n] = h / 4 + 2 * $2
      d = (x[n] - w / 2) ^ 2 + (y[n] - h / 2) ^ 2
      if (!b || d < bd) { b = n; bd = d }
    }
    END {
      if (!b) exit 1
      for (i = 1; i <= n; i++) if ((x[i] - x[b]) ^ 2 + (y[i] - y[b]) ^ 2 < 400) { sx += x[i]; sy += y[i]; k++ }
      printf "%d %d\n", sx / k, sy / k
    }'
}

record_sound "$work/heard.wav"
start_game "$game" "$data"
find_window
# The device opens once the first frame is up, and the recording starts with it:
# a moment's place in the recording is its wall time since then.
for _ in $(seq 200); do
  [ -e "$work/heard.wav" ] && break
  sleep 0.05
done
recording=$(now)
[ -e "$work/heard.wav" ] || fail "no recording started"
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 3  # the title waits: nothing to hear
clicked=$(now)
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 sleep 1
read -r bx by < <(blob_near_centre) || fail "no blob on screen"
xdotool mousemove $((X + bx)) $((Y + by)) sleep 0.2 mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove $((X + bx)) $((Y + by + step * 10)) sleep 0.05; done
flicked=$(now)
xdotool mouseup 1 sleep 1.5
expect_alive "play with sound"
close_and_check "$closer"

"$levels" "$work/heard.wav" 0.1 >"$work/levels" || fail "the recording cannot be read"
awk -v quiet="$(awk "BEGIN { print $clicked - $recording - 0.3 }")" \
  -v early="$(awk "BEGIN { print $flicked - $recording - 1.5 }")" \
  -v late="$(awk "BEGIN { print $flicked - $recording + 0.5 }")" '
  $1 < quiet && $2 > 0.001 { print "FAIL: sound at " $1 " s, while the title waits"; bad = 1 }
  $1 >= early && $1 <= late && $2 > 0.02 { heard = 1 }
  $2 >= 0.999 { print "FAIL: full scale at " $1 " s"; bad = 1 }
  END {
    if (NR < 50) { print "FAIL: only " NR " tenths of a second recorded"; bad = 1 }
    if (!heard) { print "FAIL: nothing heard from " early " to " late " s"; bad = 1 }
    exit bad
  }' "$work/levels" || fail "the recording is wrong"

# Only ALSA, asked for a device that does not exist: both have something to say
# about that, and the game must keep it to itself.
printf 'drivers=alsa\n[alsa]\ndevice=jq_no_such_device\n' >"$work/none.conf"
export ALSOFT_CONF="$work/none.conf"
no_sound_card
start_game "$game" "$data"
find_window
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1 sleep 0.5 key m sleep 0.5
expect_alive "play with no sound device"
close_and_check "$closer"
