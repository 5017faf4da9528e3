#!/usr/bin/env bash
# Plays the first half-minute of a game in a virtual X server, grabs a blob and
# pulls its sling, and saves that moment as docs/screenshot.png, the picture at
# the top of the README. Anyone can rerun it; each run plays a different game.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
bash "$root/scripts/build.sh"
mkdir -p "$root/docs"
# A 1000 x 750 screen gives the game an 800 x 600 window.
xvfb-run -a -s "-screen 0 1000x750x24" \
  "$build/e2e_player_test" "$build/jellyquake" "$build" --screenshot "$root/docs/screenshot.png"
echo "wrote $root/docs/screenshot.png"
