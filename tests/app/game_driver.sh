# Helpers for tests that drive the real game in a virtual X server. Sourced by
# the tests that play it; each sets $work (a scratch folder) before using them.
# Needs xdotool, xwininfo and ImageMagick.
#
# The game runs as it is, or through the command in $JQ_RUN_WITH when that is set:
# the Windows build's tests run it under Wine that way.

# Under Wine each test begins a Wine session of its own in its prefix
# ($JQ_WINE_PREFIX): a session's desktop keeps the screen size of the X server it
# began on, which an earlier test's may not share.
if [ -n "${JQ_WINE_PREFIX:-}" ] && [ -d "$JQ_WINE_PREFIX" ]; then
  WINEPREFIX=$JQ_WINE_PREFIX wineserver -k 2>/dev/null || true
  WINEPREFIX=$JQ_WINE_PREFIX wineserver -w
fi

fail() {
  echo "FAIL: $*" >&2
  if [ -s "${work:-}/game.err" ]; then
    echo "--- the game's standard error:" >&2
    head -c 20000 "$work/game.err" >&2
  fi
  exit 1
}

# Starts the game in the folder given, its standard error in $work/game.err;
# its process id goes in $pid.
start_game() {
  local game=$1 folder=$2
  (cd "$folder" && exec ${JQ_RUN_WITH:-} "$game") 2>"$work/game.err" &
  pid=$!
}

# Waits for the game's window to show. Its X window goes in $toplevel, the one it
# draws in (the client area) in $window: the same one for GLUT, a child for Wine,
# whose top-level window may hold an undrawn frame around it.
find_window() {
  # Searched again and again rather than with --sync: a search stops at the first
  # window that vanishes under it, as the windows of a program that just ended do.
  toplevel=
  for _ in $(seq 300); do
    toplevel=$(xdotool search --name '^Jellyquake$' 2>/dev/null | head -n 1) || true
    [ -n "$toplevel" ] && break
    sleep 0.1
  done
  [ -n "$toplevel" ] || fail "no window titled Jellyquake"
  for _ in $(seq 200); do
    if xwininfo -id "$toplevel" 2>/dev/null | grep -q 'Map State: IsViewable'; then
      window=$(xwininfo -children -id "$toplevel" | awk '/^ +0x[0-9a-f]+ / { print $1; exit }')
      window=${window:-$toplevel}
      return
    fi
    sleep 0.1
  done
  fail "the window never showed"
}

# Waits up to 90 s for process $1 to end and puts its exit status in $status. A game
# under Valgrind on a busy machine has been seen to take over 30 s to wind down.
wait_for_exit() {
  local p=$1
  for _ in $(seq 900); do
    if ! kill -0 "$p" 2>/dev/null; then
      status=0
      wait "$p" || status=$?
      return
    fi
    sleep 0.1
  done
  kill "$p"
  fail "process $p did not end"
}

# Fails unless the game is still running.
expect_alive() {
  kill -0 "$pid" 2>/dev/null || {
    status=0
    wait "$pid" || status=$?
    fail "the game ended by itself with status $status during: $*"
  }
}

# True if the window shows a picture now: more than one flat colour. Tries for
# a few seconds, as the first frames may take a while.
window_drawn() {
  local spread
  for _ in $(seq 30); do
    if import -window "$window" "$work/shot.png" 2>/dev/null; then
      spread=$(convert "$work/shot.png" -format '%[standard-deviation]' info: 2>/dev/null || echo 0)
      [ "${spread%%.*}" != 0 ] && [ -n "$spread" ] && return 0
    fi
    sleep 0.2
  done
  return 1
}

# Closes the window as a window manager's close button does and expects the
# game to end with status 0 and nothing on standard error.
close_and_check() {
  local closer=$1
  "$closer" "$toplevel" || fail "could not ask the window to close"
  wait_for_exit "$pid"
  [ "$status" = 0 ] || fail "closing the window ended the game with status $status"
  [ ! -s "$work/game.err" ] || fail "the game wrote on standard error"
}

# Sounds from now on go into the WAV file given instead of a sound card, so they
# are read and mixed where there is no card: through OpenAL's file-writing
# backend on Linux; on Windows through Wine's ALSA driver into ALSA's file plugin
# (16-bit stereo), ALSA configured by a file of our own.
record_sound() {
  local file=$1
  printf 'drivers=wave\n[wave]\nfile=%s\n' "$file" >"$work/wave.conf"
  export ALSOFT_CONF="$work/wave.conf"
  [ -n "${JQ_RUN_WITH:-}" ] || return 0
  cat >"$work/alsa.conf" <<END
pcm.!default { type plug slave { pcm "recording" format S16_LE } }
pcm.recording { type file slave.pcm "nothing" file "$file" format "wav" }
pcm.nothing { type null }
END
  export ALSA_CONFIG_PATH="$work/alsa.conf"
  # Wine's runner turns its sound drivers off unless told otherwise.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winepulse.drv=d;winemenubuilder.exe=d"
}

# No sound card at all, as in CI: on Windows, Wine's sound drivers stay off.
no_sound_card() {
  unset ALSA_CONFIG_PATH WINEDLLOVERRIDES
}

# Another program's window takes the keyboard, as a click on it or Alt+Tab does:
# an image viewer's, whose process id goes in $other_pid. Searched again and
# again, as the viewer's windows come and go while it starts.
focus_other_window() {
  local other
  display -title other -size 100x100 xc:gray &
  other_pid=$!
  for _ in $(seq 100); do
    other=$(xdotool search --name '^other$' 2>/dev/null | head -n 1) || true
    [ -n "$other" ] && xdotool windowfocus --sync "$other" 2>/dev/null && return
    sleep 0.1
  done
  fail "no other window took the keyboard"
}

# Hides the game's window and shows it again, as a player minimising and restoring
# it does. On X the window is unmapped and mapped again. Wine hears nothing of an
# X window unmapped with no window manager about, so the Windows build's window is
# minimised and restored through the system instead, by the program in
# $JQ_SHOW_WINDOW (tests/app/show_window.cpp).
hide_window() {
  if [ -n "${JQ_SHOW_WINDOW:-}" ]; then
    ${JQ_RUN_WITH:-} "$JQ_SHOW_WINDOW" minimise
  else
    xdotool windowunmap --sync "$toplevel"
  fi
}
show_window() {
  if [ -n "${JQ_SHOW_WINDOW:-}" ]; then
    ${JQ_RUN_WITH:-} "$JQ_SHOW_WINDOW" restore
  else
    xdotool windowmap --sync "$toplevel"
  fi
}
