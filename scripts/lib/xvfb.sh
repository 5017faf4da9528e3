# A virtual X server of its own for any script that needs a display: the tests
# that drive the real game, the benchmarks, the screenshot tool.
#
# Usage, from a bash script:
#
#   source "<repository>/scripts/lib/xvfb.sh"
#   start_xvfb 1280x1024x24    # the screen: width x height x depth
#   # ...DISPLAY now names the server, and it answers.
#
# More arguments after the screen go to Xvfb as they are. Returns 1, with the
# server's log on standard error, when no server answers within 30 s.
#
# Each server takes a display number by its lock file (/tmp/.X<n>-lock, made
# atomically), starting from a random number so that scripts started together
# (ctest -j) seldom even try the same one; a server that finds its number held
# exits, and the next number is tried. (Xvfb's -displayfd, which picks a number
# itself, makes no lock file: a server starting beside it could unlink its
# socket, and tests lost their display.) The caller's own EXIT trap stays its
# own: a watcher stops the server once the calling shell has ended, a fifth of a
# second later at most, however it ended. Needs Xvfb and xdpyinfo.

# start_xvfb <width>x<height>x<depth> [Xvfb arguments...]
start_xvfb() {
  local screen=$1 owner=$BASHPID folder server="" number first
  shift
  folder=$(mktemp -d)
  first=$((100 + RANDOM % 800))
  for number in $(seq "$first" $((first + 99))); do
    [ -e "/tmp/.X$number-lock" ] && continue
    # -noreset: a server that resets as its last client leaves was seen to turn
    # away the next game now and then ("failed to open display").
    Xvfb ":$number" -noreset -nolisten tcp -screen 0 "$screen" "$@" </dev/null >"$folder/log" 2>&1 &
    server=$!
    server_answers "$server" "$number" && break
    server=""
  done
  if [ -z "$server" ]; then
    echo "no virtual X server answered:" >&2
    cat "$folder/log" >&2
    return 1
  fi
  (
    while kill -0 "$owner" 2>/dev/null; do sleep 0.2; done
    kill "$server" 2>/dev/null
    rm -rf "$folder"
  ) </dev/null >/dev/null 2>&1 &
  # Neither is the caller's to wait for: a bare `wait` must not hang on them.
  disown "$server" $!
  export DISPLAY=":$number"
}

# server_answers <pid> <number>: true once the server answers on the number;
# false when it exits first (the number was taken) or after 30 s.
server_answers() {
  for _ in $(seq 300); do
    kill -0 "$1" 2>/dev/null || return 1
    DISPLAY=":$2" xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  return 1
}
