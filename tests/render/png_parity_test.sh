#!/usr/bin/env bash
# The Windows PNG decoder reads every PngSuite image, whole and cut in half, as the
# Linux one does: the same acceptance, size, layout and pixel hash, line for line,
# and neither says a word on standard error.
# Usage: png_parity_test.sh <folder> <Linux png_listing> [runner...] <png_listing.exe>
set -euo pipefail
folder=$1 linux=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -x "$linux" ] || { echo "FAIL: no Linux listing program at $linux"; exit 1; }
"$linux" "$folder" "$work/linux.txt" 2>"$work/linux.err"
"$@" "$folder" "$work/windows.txt" 2>"$work/windows.err"
status=0
if ! diff -u "$work/linux.txt" "$work/windows.txt"; then
  echo "FAIL: the listings differ (- Linux, + Windows)"
  status=1
fi
for platform in linux windows; do
  if [ -s "$work/$platform.err" ]; then
    echo "FAIL: the $platform decoder wrote on standard error:"
    cat "$work/$platform.err"
    status=1
  fi
done
[ "$status" = 0 ] || exit 1
echo "$(grep -c ' accepted ' "$work/linux.txt") accepted and $(grep -c ' refused' "$work/linux.txt") refused, alike on both"
