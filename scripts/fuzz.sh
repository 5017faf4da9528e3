#!/usr/bin/env bash
# Builds the PNG decoder's fuzz target with clang (libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) in its own build folder and runs it for a
# fixed time (JQ_FUZZ_SECONDS, 60 by default), seeded with the PngSuite images.
# Fails on any crash, leak or sanitizer report and shows the fuzzer's log.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${JQ_FUZZ_SECONDS:-60}"
seeds="$root/tests/data/pngsuite"

bash "$root/scripts/setup.sh"
sanitizers="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DJQ_FUZZ=ON -DJQ_WERROR=ON \
  -DCMAKE_C_FLAGS="$sanitizers" -DCMAKE_CXX_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" --target png_decoder_fuzz -j 2 >/dev/null

# New inputs go into a scratch corpus; the seeds are only read.
corpus="$(mktemp -d)"
log="$build/png_decoder_fuzz.log"
trap 'rm -rf "$corpus"' EXIT
# libpng prints a line for every damaged input; -close_fd_mask=2 silences the
# target's standard error while libFuzzer and the sanitizers keep reporting.
if ! "$build/png_decoder_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -close_fd_mask=2 -artifact_prefix="$build/" "$corpus" "$seeds" >"$log" 2>&1; then
  tail -n 80 "$log"
  echo "png_decoder_fuzz failed; full log in $log" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log"
