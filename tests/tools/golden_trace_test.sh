#!/usr/bin/env bash
# The simulator's golden runs: for each run below, its exact standard output and
# the SHA-256 of its trace, which holds every field of the world after every frame
# (clock, score, cells, every blob's place, state, moods, face and turn, the
# flowers and the pending holes). So any change to a rule, a constant, a draw of
# the random generator or the order of events shows here.
#
# Why these values are trusted: a reviewer wrote an independent implementation of
# the rules from their description alone, and it matched this model frame for
# frame on every field of these traces. Regenerate them only for a deliberate
# change of the rules, and check the new values against such a reading again.
# The model's sines and arc tangents are correctly rounded (game/exact_math.h), so
# the same values hold for the Windows build, run under Wine by its own CTest, and
# for the browser build's simulator under node.
#
# Usage: golden_trace_test.sh [runner...] <jellyquake-sim>
# (a runner such as scripts/wine-run.sh with its prefix, for a Windows build)
set -euo pipefail
sim=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Runs the simulator with the arguments of a table row and compares its output.
check_run() {
  local args=$1 want_hash=$2 want_out=$3 out hash
  # shellcheck disable=SC2086  # the arguments are words
  out=$("${sim[@]}" $args --trace "$work/trace") || { echo "FAIL: $args exited with $?"; failures=$((failures + 1)); return; }
  hash=$(sha256sum "$work/trace" | cut -d' ' -f1)
  if [ "$out" != "$want_out" ]; then
    printf 'FAIL: %s\n  want %s\n  got  %s\n' "$args" "$want_out" "$out"
    failures=$((failures + 1))
  elif [ "$hash" != "$want_hash" ]; then
    printf 'FAIL: %s: trace hash %s, want %s\n' "$args" "$hash" "$want_hash"
    failures=$((failures + 1))
  fi
}

# The table: "run" with the arguments, "trace" with the hash, then the output lines.
# Covered: whole games at 60 frames a second, one that loses every blob (seed 1),
# uneven, tiny and huge steps, one step for the whole game, games run on past their
# end, the bot player, several games in one call up to the last seed, no frames.
table=$(cat <<'TABLE'
run --seed 1 --frames 5400 --dt 0.016666666666666666
trace 2a3b2f6a50104831903314ef991e21fbbf0716773cbbed4c7c0bcb5b72a563fb
{"seed":1,"frames":5400,"dt":0.016666666666666666,"score":6065.1796226958013,"units":0,"running":false,"holes":0}
run --seed 12 --frames 2000 --dt 0.016666666666666666
trace 85abb206c20a84d32349309484fa2cf095c79f4189d82225c653512b1845c2b1
{"seed":12,"frames":2000,"dt":0.016666666666666666,"score":5425.1708385556349,"units":10,"running":true,"holes":37}
run --seed 2 --frames 2000 --dt 0.05
trace dffd340d9b45b15c8339464120b6a22b15186d2661421a3005b00899d29e0f88
{"seed":2,"frames":2000,"dt":0.050000000000000003,"score":7797.069539739643,"units":3,"running":false,"holes":0}
run --seed 3 --frames 317 --dt 0.3141
trace 41e47bee794fd36ee136d57036e616ca21c7737c12cf4f3e9d6f600af147dd75
{"seed":3,"frames":317,"dt":0.31409999999999999,"score":7718.3050540868144,"units":2,"running":false,"holes":0}
run --seed 4 --frames 1 --dt 95
trace a7f07c2384abba8770735f903df68516c5cf1dabd234f79c91b4af1280443bba
{"seed":4,"frames":1,"dt":95,"score":8539.3399962454732,"units":4,"running":false,"holes":0}
run --seed 5 --frames 40 --dt 2.5
trace 3d84099bd50ee163f8215bd6214fb42ad29f5b3fd2f91aaa2da4a823295bd6a6
{"seed":5,"frames":40,"dt":2.5,"score":7596.4792313584803,"units":4,"running":false,"holes":0}
run --seed 6 --frames 6000 --dt 0.02
trace da66e7d471f91576817938f7aaaee30084fb01ab8f0d978ff81564de8b53be7a
{"seed":6,"frames":6000,"dt":0.02,"score":6501.2856733793642,"units":2,"running":false,"holes":0}
run --seed 13 --frames 3000 --dt 0.001
trace 0aea68375c166503d9cdf5729b1cc74eb372156c81ee24d8cdaad8f05762fea8
{"seed":13,"frames":3000,"dt":0.001,"score":675.50617078082757,"units":15,"running":true,"holes":0}
run --seed 7 --frames 5700 --dt 0.016666666666666666 --player bot
trace 175e5d45726d149396e97fa583475e6f2e9f2e8b062ad60ea53f6493f15c7b72
{"seed":7,"frames":5700,"dt":0.016666666666666666,"score":13772.893829166127,"units":5,"running":false,"holes":0}
run --seed 8 --frames 700 --dt 0.137 --player bot
trace 972cbadaa25e9bd854c16cc3ce870ab473782d22955055e5f2ed3bbb1df4df71
{"seed":8,"frames":700,"dt":0.13700000000000001,"score":18092.950928222312,"units":14,"running":false,"holes":0}
run --seed 14 --frames 5 --dt 30 --player bot
trace ce5d1f059c9cabdf800f491c63d52027285d42905b99c99890c275b52f27d2ac
{"seed":14,"frames":5,"dt":30,"score":8767.5314670448788,"units":3,"running":false,"holes":0}
run --seed 4294967294 --frames 300 --dt 0.4 --games 2
trace d7e6e8cc2e957d233c17f456b0d1a487f36e9ebe06073ba82393f86a31c17e1e
{"seed":4294967294,"frames":300,"dt":0.40000000000000002,"score":7648.2297193338618,"units":2,"running":false,"holes":0}
{"seed":4294967295,"frames":300,"dt":0.40000000000000002,"score":6765.3248126400613,"units":1,"running":false,"holes":0}
{"games":2,"player":"none","seed":4294967294,"frames":300,"dt":0.40000000000000002,"score":{"mean":7206.7772659869615,"sd":441.45245334690026,"min":6765.3248126400613,"max":7648.2297193338618},"units":{"mean":1.5,"sd":0.5,"min":1,"max":2}}
run --seed 9 --frames 1200 --dt 0.1 --player bot --games 3
trace 3459bb6eaa7e88c84186375398ac0f757b7b881975c905d6285d18cd7a561ceb
{"seed":9,"frames":1200,"dt":0.10000000000000001,"score":18223.600888760175,"units":13,"running":false,"holes":0}
{"seed":10,"frames":1200,"dt":0.10000000000000001,"score":17420.267898773673,"units":12,"running":false,"holes":0}
{"seed":11,"frames":1200,"dt":0.10000000000000001,"score":15060.410584406163,"units":9,"running":false,"holes":0}
{"games":3,"player":"bot","seed":9,"frames":1200,"dt":0.10000000000000001,"score":{"mean":16901.426457313337,"sd":1342.4704978564173,"min":15060.410584406163,"max":18223.600888760175},"units":{"mean":11.333333333333334,"sd":1.699673171197595,"min":9,"max":13}}
run --seed 10 --frames 0 --dt 1
trace 2188cfde4bcf98d29e465d677fe19f23960ba8fd0bde3a444e8eff5d81d1d4d4
{"seed":10,"frames":0,"dt":1,"score":0,"units":15,"running":true,"holes":0}
TABLE
)

args="" hash="" out=""
while IFS= read -r line; do
  case $line in
    run\ *)
      [ -z "$args" ] || check_run "$args" "$hash" "$out"
      args=${line#run } hash="" out="" ;;
    trace\ *) hash=${line#trace } ;;
    *) out=${out:+$out$'\n'}$line ;;
  esac
done <<<"$table"
check_run "$args" "$hash" "$out"

# The trace on standard output is the same trace, followed by the summary.
"${sim[@]}" --seed 12 --frames 2000 --dt 0.016666666666666666 --trace - >"$work/out"
[ "$(head -n 2001 "$work/out" | sha256sum | cut -d' ' -f1)" = 85abb206c20a84d32349309484fa2cf095c79f4189d82225c653512b1845c2b1 ] ||
  { echo "FAIL: --trace - differs from the trace file"; failures=$((failures + 1)); }

# Bad arguments and an unwritable trace end with status 2 and a word on standard error.
refuse() {
  local status=0
  "${sim[@]}" "$@" >"$work/out" 2>"$work/err" || status=$?
  if [ "$status" != 2 ] || [ ! -s "$work/err" ] || [ -s "$work/out" ]; then
    echo "FAIL: $* gave status $status"
    failures=$((failures + 1))
  fi
}
refuse --seed 1 --frames -3 --dt 0.1
refuse --seed 1 --frames 3 --dt 0
refuse --seed 1 --frames 3 --dt nan
refuse --seed 1 --frames 3
refuse --seed 4294967296 --frames 3 --dt 0.1
refuse --seed 4294967295 --frames 3 --dt 0.1 --games 2
refuse --seed 1 --frames 3 --dt 0.1 --player robot
refuse --seed 1 --frames 3 --dt 0.1 --trace "$work/no/such/folder/trace"
[ ! -e /dev/full ] || refuse --seed 1 --frames 3 --dt 0.1 --trace /dev/full

[ "$failures" = 0 ] || { echo "$failures golden check(s) failed"; exit 1; }
echo "every golden run matches"
