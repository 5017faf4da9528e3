#!/usr/bin/env bash
# Packs square PNG images of at most 256 pixels a side into a Windows icon file,
# each kept as a PNG, as icon files may hold them:
#   pack_ico.sh <icon.ico> <image.png>...
# The Windows build makes the game's icon this way from the icons the image
# generator drew.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 <icon.ico> <image.png>..." >&2; exit 2; }
out=$1
shift

# Little-endian integers, byte by byte.
u8() { printf "\\x$(printf %02x "$1")"; }
u16() { u8 $(($1 & 255)); u8 $(($1 >> 8 & 255)); }
u32() { u16 $(($1 & 65535)); u16 $(($1 >> 16 & 65535)); }
# A big-endian 32-bit number at a byte offset of a file.
be32_at() { od -An -tu1 -j"$2" -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'; }

for png; do
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "$png: not a PNG" >&2; exit 1; }
  side=$(be32_at "$png" 16)
  [ "$side" = "$(be32_at "$png" 20)" ] && [ "$side" -ge 1 ] && [ "$side" -le 256 ] ||
    { echo "$png: not square, or larger than 256 pixels" >&2; exit 1; }
done

{
  # The header: reserved, type 1 (icon), the number of images.
  u16 0
  u16 1
  u16 $#
  # One entry per image: its side (256 is written as 0), no palette, one plane,
  # 32 bits a pixel, its length and where it starts.
  offset=$((6 + 16 * $#))
  for png; do
    side=$(be32_at "$png" 16)
    size=$(stat -c %s "$png")
    u8 $((side % 256))
    u8 $((side % 256))
    u8 0
    u8 0
    u16 1
    u16 32
    u32 "$size"
    u32 "$offset"
    offset=$((offset + size))
  done
  cat "$@"
} >"$out.part"
mv "$out.part" "$out"
