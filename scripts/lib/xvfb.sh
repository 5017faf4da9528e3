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
# The server takes the first display number no other server holds and reports
# it once it accepts connections (-displayfd): scripts started together (ctest
# -j) never race for a number as they would choosing one themselves. The
# caller's own EXIT trap stays its own: a watcher stops the server once the
# calling shell has ended, a fifth of a second later at most, however it ended.
# Needs Xvfb and xdpyinfo.

# start_xvfb <width>x<height>x<depth> [Xvfb arguments...]
start_xvfb() {
  local screen=$1 owner=$BASHPID folder server number=""
  shift
  folder=$(mktemp -d)
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" "$@" \
    3>"$folder/display" </dev/null >"$folder/log" 2>&1 &
  server=$!
  (
    while kill -0 "$owner" 2>/dev/null; do sleep 0.2; done
    kill "$server" 2>/dev/null
    rm -rf "$folder"
  ) </dev/null >/dev/null 2>&1 &
  # Neither is the caller's to wait for: a bare `wait` must not hang on them.
  disown "$server" $!

  for _ in $(seq 300); do
    number=$(cat "$folder/display")
    if [ -n "$number" ] || ! kill -0 "$server" 2>/dev/null; then
      break
    fi
    sleep 0.1
  done
  if [ -n "$number" ] && DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; then
    export DISPLAY=":$number"
    return 0
  fi
  echo "no virtual X server answered:" >&2
  cat "$folder/log" >&2
  kill "$server" 2>/dev/null
  return 1
}
