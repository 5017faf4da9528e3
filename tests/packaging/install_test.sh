#!/usr/bin/env bash
# Installs the build into a scratch prefix with `cmake --install` and checks what
# a player's system gets: the game, its 46 images and 15 sounds, a launcher on the
# PATH, a valid desktop entry, icons at their sizes and valid AppStream data.
#
# Usage: install_test.sh <build dir>
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$root/usr" >/dev/null
cd "$root/usr"

[ -x bin/jellyquake ] || fail "no launcher bin/jellyquake"
[ -x libexec/jellyquake/jellyquake ] || fail "no game binary in libexec/jellyquake"
[[ "$(file libexec/jellyquake/jellyquake)" == *ELF* ]] || fail "the game binary is not a program"
images=$(find share/jellyquake/graphics -name '*.png' | wc -l)
[ "$images" = 46 ] || fail "$images images installed, not 46"
sounds=$(find share/jellyquake/sounds -name '*.wav' | wc -l)
[ "$sounds" = 15 ] || fail "$sounds sounds installed, not 15"
for f in interface/title.png blob/bg.png particles/smoke.png grass.png; do
  [ -f "share/jellyquake/graphics/$f" ] || fail "missing graphics/$f"
done

desktop-file-validate share/applications/jellyquake.desktop || fail "desktop entry invalid"
grep -q '^Categories=.*Game;ArcadeGame;' share/applications/jellyquake.desktop ||
  fail "desktop entry is not in Game / ArcadeGame"
appstreamcli validate --no-net share/metainfo/*.metainfo.xml >/dev/null ||
  fail "AppStream data invalid: $(appstreamcli validate --no-net share/metainfo/*.metainfo.xml)"

for size in 48 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/jellyquake.png
  [ -f "$icon" ] || fail "no $size icon"
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
done

# The launcher passes its arguments through and runs the game from the folder that
# holds graphics/. A stand-in game records both.
mv libexec/jellyquake/jellyquake libexec/jellyquake/jellyquake.real
cat > libexec/jellyquake/jellyquake <<'STUB'
#!/bin/sh
pwd > "$JQ_RECORD"
for a in "$@"; do printf '%s\n' "$a" >> "$JQ_RECORD"; done
STUB
chmod +x libexec/jellyquake/jellyquake
(cd / && JQ_RECORD="$root/record" "$root/usr/bin/jellyquake" -geometry "two words" '*')
expected=$(printf '%s\n' "$root/usr/share/jellyquake" -geometry "two words" '*')
[ "$(cat "$root/record")" = "$expected" ] || fail "launcher ran: $(cat "$root/record")"
[ -d "$(head -n 1 "$root/record")/graphics" ] || fail "launcher's folder holds no graphics/"
echo "install ok"
