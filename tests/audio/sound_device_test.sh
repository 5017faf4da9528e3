#!/usr/bin/env bash
# Sound devices that come and go, through a sound server of the test's own: a
# PulseAudio daemon playing into a null sink, recorded from the sink's monitor.
# Mid-game the sink is taken away, and later the whole server: the game plays on
# (its picture still moving), and once the device is back the game plays into it
# again within two seconds, and is heard, unless it was muted. A game begun with no server picks it up
# when it starts: OpenAL keeps its PulseAudio backend only if the server answered
# when OpenAL was first used, so that game plays through ALSA, whose default
# device is the server, as on a desktop.
# Usage: sound_device_test.sh <jellyquake> <close_window> <sound_levels> <build folder>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb 1280x1024x24
source "$(dirname "${BASH_SOURCE[0]}")/../app/game_driver.sh"
game=$(realpath "$1") closer=$2 levels=$3 data=$4
work=$(mktemp -d)
server=
trap '[ -z "$server" ] || kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
unset ALSOFT_CONF ALSOFT_LOGLEVEL
export HOME=$work XDG_RUNTIME_DIR=$work PULSE_SERVER=unix:$work/pulse.sock
export ALSOFT_DRIVERS=pulse,alsa ALSA_CONFIG_PATH=$work/alsa.conf
echo 'pcm.!default { type pulse }' >"$ALSA_CONFIG_PATH"
now() { date +%s.%N; }

start_server() {
  pulseaudio --daemonize=no -n --use-pid-file=no --exit-idle-time=-1 --realtime=no \
    --high-priority=no --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.sock" \
    >>"$work/server.log" 2>&1 &
  server=$!
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  add_sink || fail "no sound server: $(cat "$work/server.log")"
}
stop_server() {
  kill "$server"
  wait "$server" || true
  server=
}
add_sink() { pactl load-module module-null-sink sink_name=speaker >/dev/null; }
remove_sink() { pactl unload-module module-null-sink; }

# Runs the first command given mid-game (the device goes) and then the second (it
# comes back): in between the game plays on; after them it plays into the sink
# again within two seconds.
away_and_back() {
  local away=$1 back=$2 what=$3 since took
  $away
  sleep 2
  expect_alive "$what"
  import -window "$window" "$work/before.png"
  sleep 0.5
  import -window "$window" "$work/after.png"
  [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)" != 0 ] ||
    fail "the picture stood still: $what"
  $back
  since=$(now)
  for _ in $(seq 40); do
    [ -n "$(pactl list short sink-inputs)" ] && break
    sleep 0.1
  done
  took=$(awk "BEGIN { printf \"%.1f\", $(now) - $since }")
  echo "playing again $took s after: $what"
  awk "BEGIN { exit !($took <= 2) }" || fail "not playing again within 2 s: $what"
}

# Records the sink for 3 s, which must be "heard" or "silent".
expect_sound() {
  timeout 3 parec -d speaker.monitor --file-format=wav "$work/heard.wav" || true
  "$levels" "$work/heard.wav" 0.1 |
    awk -v want="$1" '$2 > 0.001 { heard = 1 } END { exit (want == "heard") != heard }' ||
    fail "not $1: $2"
}

play() {
  start_game "$game" "$data"
  find_window
  eval "$(xdotool getwindowgeometry --shell "$window")"
  sleep 1
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
}

start_server
play
away_and_back remove_sink add_sink "the sink taken away and put back"
expect_sound heard "the sink back"
xdotool key m
away_and_back stop_server start_server "muted, the server stopped and started again"
expect_sound silent "the server back while muted"
xdotool key m
expect_sound heard "unmuted"
close_and_check "$closer"

stop_server
play
away_and_back true start_server "a game begun with no server"
expect_sound heard "the server started"
close_and_check "$closer"
