#!/usr/bin/env bash
# Builds the benchmarks and prints Jellyquake's speed figures beside their
# goals, measured the same way every time, on this machine, in a virtual X
# server (1280 x 960, so the game's window is 1024 x 768) with Mesa's software
# renderer:
#   - the model: one whole 90-second game at 60 frames a second, no picture;
#   - a mid-game frame of the real game screen (update, scene, display, swap)
#     beside the limit frame (one screenful of the game's grass, fogged and
#     filtered as the scene draws it: the least any frame can cost) and a frame
#     that only clears, and their ratios; then, offscreen, where the mid-game
#     frame's pixels go, part by part;
#   - the same mid-game frame offscreen through the OpenGL ES 2 renderer (the
#     browser's) beside the OpenGL 1 one, by turns, and their ratio;
#   - the same mid-game frame from the Windows build under Wine, by turns with
#     the native one, and their ratio;
#   - the same mid-game frame heard through OpenAL (its file-writing backend,
#     mixing on OpenAL's own thread as with a sound card) beside it muted;
#   - start-up: process start to the first frame on screen, for the game and
#     for a bare window that only clears, in the same run, and where the
#     game's start-up time goes; the game's where a sound device opens (it
#     does so once the first frame is up) beside one where none opens;
#   - the game's CPU time over 10 s playing, paused and minimised, natively and
#     the Windows build under Wine: paused or hidden, it waits for events;
#   - peak memory after 60 s of play (JQ_BENCH_PLAY_SECONDS), beside the bare
#     window's;
#   - the browser build in headless Chromium (canvas 1024 x 768): its mid-game
#     frame timed inside the page beside the native one, the time from
#     navigation to its first frame, and the site's size gzipped.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_BUILD_DIR:-$root/build}"
windows_build="${JQ_WINDOWS_BUILD_DIR:-$root/build-windows}"

bash "$root/scripts/build.sh" >/dev/null
bash "$root/scripts/build-windows.sh" >/dev/null
bash "$root/scripts/build-web.sh" >/dev/null
web_build="${JQ_WEB_BUILD_DIR:-$root/build-web}"
bash "$root/tests/web/packages.sh" "$web_build/web_packages" >/dev/null
source "$root/scripts/lib/xvfb.sh"
start_xvfb 1280x960x24

cd "$build"
# Frames are measured flat out: the game asks the display to pace them, which
# Mesa's software renderer does unless told not to. The idle measure turns it back on.
export vblank_mode=0
play_seconds=${JQ_BENCH_PLAY_SECONDS:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# verdict <value> <goal>: whether value < goal.
verdict() {
  awk -v v="$1" -v g="$2" 'BEGIN { print (v < g) ? "meets the goal" : "MISSES the goal" }'
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"

# --- The model ---------------------------------------------------------------
game_ms=$(./world_bench --benchmark_filter='^WholeGameSeeds$' --benchmark_min_time=2 \
  --benchmark_format=csv 2>/dev/null | awk -F, '/^"WholeGameSeeds"/ { print $3 }')
printf 'model, whole game (5400 frames): %.3f ms   goal < 10 ms: %s\n' "$game_ms" \
  "$(verdict "$game_ms" 10)"

# --- Frames --------------------------------------------------------------------
# Empty, limit and mid-game frames by turns, three times each, so that a machine
# whose speed drifts weighs on all three alike; each ratio is the median of the
# three rounds' ratios.
median_of() { echo "$1" | sed -n 's/.*median \([0-9.]*\) ms.*/\1/p'; }
: >"$work/empty_frames"
: >"$work/limit_frames"
: >"$work/game_frames"
: >"$work/limit_ratios"
: >"$work/empty_ratios"
for _ in 1 2 3; do
  empty_round=$(median_of "$(./frame_timing empty 200)")
  limit_round=$(median_of "$(./frame_timing limit 200)")
  game_round=$(median_of "$(./frame_timing game 200)")
  echo "$empty_round" >>"$work/empty_frames"
  echo "$limit_round" >>"$work/limit_frames"
  echo "$game_round" >>"$work/game_frames"
  awk -v a="$game_round" -v b="$limit_round" 'BEGIN { print a / b }' >>"$work/limit_ratios"
  awk -v a="$game_round" -v b="$empty_round" 'BEGIN { print a / b }' >>"$work/empty_ratios"
done
rounds() { tr '\n' ' ' <"$1" | sed 's/ $//'; }
empty_frame=$(median <"$work/empty_frames")
limit_frame=$(median <"$work/limit_frames")
game_frame=$(median <"$work/game_frames")
echo "renderer: $(./frame_timing empty 10 | sed -n 's/.* frames (\(.*\))$/\1/p')"
echo "frame medians of 3 rounds of 200 frames by turns: empty $(rounds "$work/empty_frames"); limit $(rounds "$work/limit_frames"); mid-game $(rounds "$work/game_frames") ms"
printf 'mid-game frame %.3f ms, empty frame %.3f ms, ratio %.1f   goal < 8 ms: %s\n' \
  "$game_frame" "$empty_frame" "$(median <"$work/empty_ratios")" "$(verdict "$game_frame" 8)"
limit_ratio=$(median <"$work/limit_ratios" | awk '{ printf "%.2f", $1 }')
printf 'mid-game frame %.3f ms, limit frame %.3f ms, ratio %s (rounds: %s)   goal <= 1.3: %s\n' \
  "$game_frame" "$limit_frame" "$limit_ratio" \
  "$(awk '{ printf "%s%.2f", (NR > 1 ? " " : ""), $1 }' "$work/limit_ratios")" \
  "$(verdict "$limit_ratio" 1.3001)"

# The Windows build's mid-game frame under Wine, by turns with the native one, in
# this same X server: the same frames through the Win32 window and the Windows
# OpenGL path into the same software renderer.
native_frames=$(mktemp -p "$work")
windows_frames=$(mktemp -p "$work")
windows_ratios=$(mktemp -p "$work")
for _ in 1 2 3; do
  native_round=$(median_of "$(./frame_timing game 200)")
  windows_round=$(median_of "$(cd "$windows_build" &&
    "$root/scripts/wine-run.sh" "$windows_build/wineprefix" ./frame_timing.exe game 200 | tr -d '\r')")
  echo "$native_round" >>"$native_frames"
  echo "$windows_round" >>"$windows_frames"
  awk -v a="$windows_round" -v b="$native_round" 'BEGIN { print a / b }' >>"$windows_ratios"
done
windows_ratio=$(median <"$windows_ratios" | awk '{ printf "%.2f", $1 }')
printf 'mid-game frame, Windows build under Wine %.3f ms, Linux %.3f ms, ratio %s (rounds: %s)   goal <= 1.15: %s\n' \
  "$(median <"$windows_frames")" "$(median <"$native_frames")" "$windows_ratio" \
  "$(awk '{ printf "%s%.2f", (NR > 1 ? " " : ""), $1 }' "$windows_ratios")" \
  "$(verdict "$windows_ratio" 1.1501)"

# --- Idle ----------------------------------------------------------------------
env -u vblank_mode bash "$root/bench/window/idle_cpu.sh" ./jellyquake ./close_window Linux
env -u vblank_mode JQ_RUN_WITH="$root/scripts/wine-run.sh $windows_build/wineprefix" \
  JQ_WINE_PREFIX="$windows_build/wineprefix" JQ_SHOW_WINDOW="$windows_build/show_window.exe" \
  bash "$root/bench/window/idle_cpu.sh" "$windows_build/jellyquake.exe" ./close_window \
  "Windows build under Wine"

echo "the game screen offscreen (frame_bench):"
./frame_bench 300 | sed 's/^/  /'

# The same mid-game frame offscreen through the OpenGL 1 renderer and through the
# OpenGL ES 2 one that the browser draws with, by turns, three rounds.
: >"$work/gl1_frames"
: >"$work/gles2_frames"
: >"$work/gles2_ratios"
for _ in 1 2 3; do
  gl1_round=$(median_of "$(./renderer_bench_gl1 100)")
  gles2_round=$(median_of "$(./renderer_bench_gles2 100)")
  echo "$gl1_round" >>"$work/gl1_frames"
  echo "$gles2_round" >>"$work/gles2_frames"
  awk -v a="$gles2_round" -v b="$gl1_round" 'BEGIN { print a / b }' >>"$work/gles2_ratios"
done
gles2_ratio=$(median <"$work/gles2_ratios" | awk '{ printf "%.2f", $1 }')
printf 'mid-game frame offscreen, OpenGL ES 2 renderer %.3f ms, OpenGL 1 renderer %.3f ms, ratio %s (rounds: %s)   goal <= 1.5: %s\n' \
  "$(median <"$work/gles2_frames")" "$(median <"$work/gl1_frames")" "$gles2_ratio" \
  "$(awk '{ printf "%s%.2f", (NR > 1 ? " " : ""), $1 }' "$work/gles2_ratios")" \
  "$(verdict "$gles2_ratio" 1.5001)"

# --- Sound ---------------------------------------------------------------------
printf 'drivers=wave\n[wave]\nfile=%s\n' "$work/heard.wav" >"$work/wave.conf"
printf 'drivers=alsa\n[alsa]\ndevice=jq_no_such_device\n' >"$work/none.conf"
# Heard and muted by turns, three times each, so that a busy machine weighs on both.
: >"$work/heard_frames"
: >"$work/muted_frames"
for _ in 1 2 3; do
  ALSOFT_CONF="$work/wave.conf" ./frame_timing sound 300 |
    sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' >>"$work/heard_frames"
  ALSOFT_CONF="$work/wave.conf" ./frame_timing muted 300 |
    sed -n 's/.*median \([0-9.]*\) ms.*/\1/p' >>"$work/muted_frames"
done
heard_frame=$(median <"$work/heard_frames")
muted_frame=$(median <"$work/muted_frames")
printf 'mid-game frame heard %.3f ms, muted %.3f ms (medians of 3 runs of 300 frames: heard %s; muted %s): %+.3f ms with sound\n' \
  "$heard_frame" "$muted_frame" "$(tr '\n' ' ' <"$work/heard_frames" | sed 's/ $//')" \
  "$(tr '\n' ' ' <"$work/muted_frames" | sed 's/ $//')" \
  "$(awk -v a="$heard_frame" -v b="$muted_frame" 'BEGIN { print a - b }')"

# --- Start-up ------------------------------------------------------------------
# Milliseconds from starting the program to its first frame on screen.
first_frame_ms() {
  local start end
  rm -f "$work/first"
  start=$(date +%s%N)
  LD_PRELOAD="$build/libfirst_frame.so" JQ_FIRST_FRAME_FILE="$work/first" "$@" >/dev/null 2>&1 || true
  [ -s "$work/first" ] || { echo "no frame from $*" >&2; exit 1; }
  end=$(cat "$work/first")
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f\n", (e - s) / 1e6 }'
}
first_frame_ms ./jellyquake >/dev/null  # warm the file cache
first_frame_ms ./frame_timing empty 0 >/dev/null
: >"$work/game_starts"
: >"$work/bare_starts"
for _ in 1 2 3 4 5; do
  first_frame_ms ./jellyquake >>"$work/game_starts"
  first_frame_ms ./frame_timing empty 0 >>"$work/bare_starts"
done
game_start=$(median <"$work/game_starts")
bare_start=$(median <"$work/bare_starts")
printf 'first frame: game %.1f ms, bare window %.1f ms (medians of 5: game %s; bare %s)   goal < 300 ms: %s\n' \
  "$game_start" "$bare_start" "$(tr '\n' ' ' <"$work/game_starts" | sed 's/ $//')" \
  "$(tr '\n' ' ' <"$work/bare_starts" | sed 's/ $//')" "$(verdict "$game_start" 300)"

: >"$work/heard_starts"
: >"$work/deaf_starts"
for _ in 1 2 3 4 5; do
  ALSOFT_CONF="$work/wave.conf" first_frame_ms ./jellyquake >>"$work/heard_starts"
  ALSOFT_CONF="$work/none.conf" first_frame_ms ./jellyquake >>"$work/deaf_starts"
done
printf 'first frame: game with a sound device %.1f ms, with no sound device %.1f ms (medians of 5)\n' \
  "$(median <"$work/heard_starts")" "$(median <"$work/deaf_starts")"

echo "where the game's start-up goes (startup_probe, sound through the wave backend):"
ALSOFT_CONF="$work/wave.conf" ./startup_probe | sed 's/^/  /'

# --- Memory --------------------------------------------------------------------
# The window titled Jellyquake that is not $1 (freeglut sets no process id on
# its windows, so the two are told apart by order of appearance).
new_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --name '^Jellyquake$' 2>/dev/null | grep -vx "${1:-none}" | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window appeared" >&2
  exit 1
}
peak_kb() {
  awk '/^VmHWM/ { print $2 }' "/proc/$1/status"
}
./jellyquake 2>/dev/null &
game_pid=$!
game_window=$(new_window)
./frame_timing empty 0 >/dev/null 2>&1 &
bare_pid=$!
bare_window=$(new_window "$game_window")
eval "$(xdotool getwindowgeometry --shell "$game_window")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1  # away with the title
RANDOM=7
end=$((SECONDS + play_seconds))
while [ "$SECONDS" -lt "$end" ]; do
  px=$((X + RANDOM % WIDTH))
  py=$((Y + HEIGHT / 8 + RANDOM % (HEIGHT * 7 / 8)))
  case $((RANDOM % 4)) in
    0) xdotool mousemove "$px" "$py" click 1 ;;
    1) xdotool mousemove "$px" "$py" mousedown 1 mousemove_relative -- $((RANDOM % 200 - 100)) \
         $((RANDOM % 200 - 100)) sleep 0.2 mouseup 1 ;;
    2) xdotool mousemove "$px" "$py" mousedown 3 mousemove_relative -- $((RANDOM % 60 - 30)) 0 \
         sleep 0.1 mouseup 3 ;;
    3) xdotool mousemove "$px" "$py" sleep 0.3 ;;
  esac
done
game_kb=$(peak_kb "$game_pid")
bare_kb=$(peak_kb "$bare_pid")
"$build/close_window" "$game_window"
"$build/close_window" "$bare_window"
wait "$game_pid" "$bare_pid" || true
# The limit frame's window on its own: what drawing anything textured costs in
# memory (the shader compiler's code and data), beside which the game's own part
# shows.
./frame_timing limit 0 >/dev/null 2>&1 &
limit_pid=$!
limit_window=$(new_window)
sleep 3
limit_kb=$(peak_kb "$limit_pid")
"$build/close_window" "$limit_window"
wait "$limit_pid" || true
diff_mb=$(awk -v g="$game_kb" -v b="$bare_kb" 'BEGIN { printf "%.1f", (g - b) / 1024 }')
printf 'peak memory after %d s of play: game %.1f MB, bare window %.1f MB, %s MB more   goal < 30 MB more: %s\n' \
  "$play_seconds" "$(awk -v k="$game_kb" 'BEGIN { print k / 1024 }')" \
  "$(awk -v k="$bare_kb" 'BEGIN { print k / 1024 }')" "$diff_mb" "$(verdict "$diff_mb" 30)"
printf 'peak memory of the limit frame'"'"'s window: %.1f MB, %.1f MB more than the bare window; the game %.1f MB more than it\n' \
  "$(awk -v k="$limit_kb" 'BEGIN { print k / 1024 }')" \
  "$(awk -v l="$limit_kb" -v b="$bare_kb" 'BEGIN { print (l - b) / 1024 }')" \
  "$(awk -v g="$game_kb" -v l="$limit_kb" 'BEGIN { print (g - l) / 1024 }')"

# --- The browser -----------------------------------------------------------------
# The site served gzipped on 127.0.0.1, its frame timed inside the page at the
# native mid-game frame's size; the native figure is the median measured above.
NODE_PATH="$web_build/web_packages/node_modules" node "$root/bench/web_frame.js" "$web_build/site" "$game_frame"
