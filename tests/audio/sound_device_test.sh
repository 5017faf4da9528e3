#!/usr/bin/env bash
# Sound devices that come and go, through a sound server of the test's own: a
# PulseAudio daemon playing into a null sink, recorded from the sink's monitor.
# Mid-game the sink is taken away, and later the whole server: the game plays on
# (its picture still moving), and once the device is back it is heard again within
# about two seconds. A game begun with no server at all picks it up when it starts:
# OpenAL keeps its PulseAudio backend only if the server answered when OpenAL was
# first used, so that game plays through ALSA, whose default device is the server,
# as on a desktop.
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
printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$ALSA_CONFIG_PATH"
# A sound must be heard this soon after the device is back.
BACK_WITHIN=2.0

start_server() {
  pulseaudio --daemonize=no -n --use-pid-file=no --exit-idle-time=-1 --realtime=no \
    --high-priority=no --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse.sock" \
    >>"$work/server.log" 2>&1 &
  server=$!
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && return
    sleep 0.1
  done
  cat "$work/server.log" >&2
  fail "the sound server did not start"
}
add_sink() {
  pactl load-module module-null-sink sink_name=speaker >/dev/null
  pactl set-default-sink speaker
}
remove_sink() { pactl unload-module module-null-sink; }
now() { date +%s.%N; }
stop_server() { kill "$server"; wait "$server" || true; server=; }

# Records the sink for the seconds given into the WAV file given, and fails unless
# a sound peaks within $BACK_WITHIN s of the wall time given (the device's return).
expect_heard() {
  local back=$1 seconds=$2 file=$3 what=$4 started
  started=$(now)
  timeout "$seconds" parec -d speaker.monitor --file-format=wav "$file" || true
  "$levels" "$file" 0.1 >"$work/levels" || fail "the recording cannot be read: $what"
  heard=$(awk -v lag="$(awk "BEGIN { print $started - $back }")" \
    '$2 > 0.001 { printf "%.1f", lag + $1; exit }' "$work/levels")
  [ -n "$heard" ] || fail "nothing heard in $seconds s: $what"
  echo "heard $heard s after: $what"
  awk "BEGIN { exit !($heard <= $BACK_WITHIN) }" || fail "heard only $heard s after: $what"
}

# Fails unless the game still runs and its picture moves.
expect_playing() {
  expect_alive "$1"
  import -window "$window" "$work/before.png"
  sleep 0.5
  import -window "$window" "$work/after.png"
  [ "$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true)" != 0 ] ||
    fail "the picture stood still: $1"
}

start_server
add_sink
start_game "$game" "$data"
find_window
eval "$(xdotool getwindowgeometry --shell "$window")"
sleep 1
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
expect_heard "$(now)" 3 "$work/first.wav" "the game's start"

remove_sink
sleep 2
expect_playing "the sink taken away"
back=$(now)
add_sink
expect_heard "$back" 4 "$work/sink_back.wav" "the sink back"

stop_server
sleep 2
expect_playing "the server gone"
back=$(now)
start_server
add_sink
expect_heard "$back" 4 "$work/server_back.wav" "the server back"
close_and_check "$closer"

# Begun with no server, which starts later.
stop_server
start_game "$game" "$data"
find_window
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 2
expect_playing "no server"
back=$(now)
start_server
add_sink
expect_heard "$back" 4 "$work/late.wav" "a server started after the game"
close_and_check "$closer"
