#!/usr/bin/env bash
# Starts the real game over damaged images and sounds in a virtual X server and
# plays a little: files missing, empty, truncated, cut after the header,
# garbled, replaced by text or by a folder; images of odd sizes and in formats
# the game does not take (palette, grey, grey with alpha, 16 bits a channel).
# Sounds are recorded into a file (record_sound), so they are read even where
# there is no sound card. Each time the game must show its window, draw, take
# input, and close with status 0 and nothing on standard error. With no graphics
# folder ("nofolder") or an OpenGL older than 1.2 ("oldgl", Mesa's override) it
# ends at once with status 1 and one line on standard error and (Windows) in the
# message box, read back through its seam.
#
# Usage: bad_files_test.sh <jellyquake> <close_window> <folder holding graphics/, sounds/> <case>...
# (the game runs through $JQ_RUN_WITH when that is set, as in game_driver.sh).
# A case is a damage applied to every image at once (missing, empty, ...), or
# "nofolder", "oldgl", or "each-<damage>-<bit>": that damage to the images whose number
# (in sorted order) has the given bit set, so that over the bits 0 to 5 every
# file is damaged while others are whole, and no two files always share fate.
# Image formats and sizes apply to images only.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/game_driver.sh"

game=$(realpath "$1")
closer=$2
data=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
record_sound "$work/heard.wav"

# Applies one kind of damage to the image files given.
damage() {
  local kind=$1 file size
  shift
  [ $# -gt 0 ] || return 0
  # New formats and sizes, all files in one go.
  case "$kind" in
    oddsize) mogrify -resize '37x5!' "$@" && return ;;
    palette)  # reducing real images to 256 colours takes ImageMagick ages
      convert -size 64x64 gradient:red-blue -type Palette "PNG8:$work/palette.png"
      for file in "$@"; do cp "$work/palette.png" "$file"; done
      return ;;
    grey) mogrify -colorspace Gray -alpha off -depth 8 -define png:color-type=0 "$@" && return ;;
    greyalpha) mogrify -colorspace Gray -alpha on -depth 8 -define png:color-type=4 "$@" && return ;;
    rgb16) mogrify -alpha off -depth 16 -define png:format=png48 "$@" && return ;;
    rgba16) mogrify -alpha on -depth 16 -define png:format=png64 "$@" && return ;;
  esac
  for file in "$@"; do
    size=$(stat -c %s "$file")
    case "$kind" in
      missing) rm "$file" ;;
      empty) : >"$file" ;;
      truncated) truncate -s $((size / 2)) "$file" ;;
      header) truncate -s 33 "$file" ;;  # signature and the image header only
      garbled)  # 0xFF over a stretch of the compressed data
        head -c 64 /dev/zero | tr '\0' '\377' |
          dd of="$file" bs=1 seek=$((size / 2)) conv=notrunc status=none ;;
      text) echo "not a picture" >"$file" ;;
      folder) rm "$file" && mkdir "$file" ;;
      *) fail "unknown damage $kind" ;;
    esac
  done
}

# Builds $work/run/graphics for one case.
prepare() {
  local case=$1 kind bit index=0 chosen=()
  rm -rf "$work/run"
  mkdir -p "$work/run"
  # The game beside the data it is to read: on Windows it reads from its own folder.
  cp "$game" "$work/run/"
  [ "$case" = nofolder ] && return
  cp -r "$data/graphics" "$data/sounds" "$work/run/"
  [ "$case" = oldgl ] && return
  if [[ "$case" == each-* ]]; then
    kind=${case#each-}
    bit=${kind##*-}
    kind=${kind%-*}
  else
    kind=$case
    bit=
  fi
  while IFS= read -r file; do
    if [ -z "$bit" ] || (((index >> bit) & 1)); then
      chosen+=("$file")
    fi
    index=$((index + 1))
  done < <(
    case "$kind" in
      oddsize | palette | grey | greyalpha | rgb16 | rgba16) find "$work/run/graphics" -name '*.png' ;;
      *) find "$work/run/graphics" "$work/run/sounds" -name '*.png' -o -name '*.wav' ;;
    esac | sort
  )
  damage "$kind" "${chosen[@]}"
}

# Plays briefly: the title away, a hover, a throw, the camera turned and slid.
play_a_little() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
  xdotool mousemove "$cx" "$cy" click 1 sleep 0.2 \
    mousemove $((cx + 40)) $((cy - 30)) sleep 0.1 mousedown 1 \
    mousemove $((cx + 80)) $((cy + 60)) sleep 0.1 mouseup 1 sleep 0.2 \
    mousedown 3 mousemove $((cx - 50)) "$cy" sleep 0.1 mouseup 3 \
    keydown Left sleep 0.2 keyup Left sleep 0.2
}

# The line the game ends with in these cases, and on Windows, the message box's.
box_file=$work/box.txt
[ -z "${JQ_RUN_WITH:-}" ] || box_file=Z:$box_file
declare -A refusal=(
  [oldgl]="Jellyquake needs OpenGL 1.2 or later: please install the graphics card's driver"
  [nofolder]="Jellyquake can't find its graphics folder${JQ_RUN_WITH:+: extract the whole zip first, then start the game from the extracted folder}")

for case in "$@"; do
  prepare "$case"
  if [ -n "${refusal[$case]:-}" ]; then
    rm -f "$work/box.txt"
    [ "$case" != oldgl ] || export MESA_GL_VERSION_OVERRIDE=1.1
    JQ_MESSAGE_BOX_FILE=$box_file start_game "$work/run/$(basename "$game")" "$work/run"
    unset MESA_GL_VERSION_OVERRIDE
    wait_for_exit "$pid"
    [ "$status" = 1 ] || fail "$case: exit status $status, not 1"
    [ "$(tr -d '\r' <"$work/game.err")" = "${refusal[$case]}" ] || fail "$case: standard error wrong"
    [ -z "${JQ_RUN_WITH:-}" ] || [ "$(tr -d '\r' <"$work/box.txt")" = "${refusal[$case]}" ] ||
      fail "$case: the message box said '$(cat "$work/box.txt" 2>/dev/null)'"
    echo "$case: said so and ended with status 1"
    continue
  fi
  start_game "$work/run/$(basename "$game")" "$work/run"
  find_window
  play_a_little
  expect_alive "$case"
  window_drawn || fail "$case: the window shows nothing"
  close_and_check "$closer"
  echo "$case: ran, drew and closed cleanly"
done
