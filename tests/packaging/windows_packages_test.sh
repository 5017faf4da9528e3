#!/usr/bin/env bash
# Makes the Windows packages signed with a throwaway certificate (the game, the
# installer and the uninstaller it writes each verify) and tries them under Wine in a
# fresh prefix. Silent installs for the current user, for everyone (twice) and for the
# current user again each put the zip's files, a shortcut and an Apps & features entry
# in their own places, replace the other kind, and start. The zip, unpacked so deep in
# a folder named outside every ANSI code page that each file's path passes 260
# characters, shows its title and is heard. The uninstall leaves nothing behind.
#
# Usage: windows_packages_test.sh <Windows build dir> <version> <close_window> <sound_levels>
set -euo pipefail
# Wine names Linux files in the locale's character set.
export LC_ALL=C.UTF-8

here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
source "$here/../../scripts/lib/xvfb.sh"
start_xvfb 1024x768x24
source "$here/../app/game_driver.sh"

build=$(realpath "$1")
version=$2
closer=$3
levels=$4
work=$build/windows_packages
rm -rf "$work"
mkdir -p "$work/elsewhere" "$work/signing"

# A certificate for signing code, its own issuer, in a password-protected file.
signing=$work/signing
printf 'not a real secret\n' >"$signing/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Jellyquake test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" -out "$signing/cert.pfx" \
  -passout "file:$signing/password"
JQ_SIGN_PFX=$signing/cert.pfx JQ_SIGN_PASSWORD_FILE=$signing/password \
  cmake --build "$build" --target windows_packages >"$work/build.out" 2>&1 ||
  fail "the packages did not build: $(tail "$work/build.out")"
setup=$build/packages/jellyquake-$version-setup.exe
zip=$build/packages/jellyquake-$version-windows.zip
[ -f "$setup" ] && [ -f "$zip" ] || fail "no $setup or $zip"
signed() {
  osslsigncode verify -CAfile "$signing/cert.pem" -in "$1" >"$work/verify.out" 2>&1 ||
    fail "$(basename "$1") is not signed by the certificate: $(tail -n 3 "$work/verify.out")"
}
signed "$setup"

export WINEPREFIX=$work/wineprefix
# Wine's runner without its sound drivers (no card here) and without the menu
# builder, which would copy the Start menu shortcut into this machine's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
JQ_RUN_WITH="$here/../../scripts/wine-run.sh $WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
run() { $JQ_RUN_WITH "$@"; }

drive=$WINEPREFIX/drive_c
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Jellyquake'

# The share (0 to 1) of a shot's pixels in a colour class of the title image, for
# ImageMagick's -fx: its orange lettering, its blue blobs and its dark ink.
LETTERING='r>200/255 && g>80/255 && g<225/255 && b<110/255 && r-b>140/255'
BLUE='b>100/255 && b-r>45/255'
INK='max(r,max(g,b))<70/255 && b-g>10/255'
share() {
  convert "$work/$1.png" -sample 25% -fx "$2" -format '%[fx:mean]' info:
}
title_seen() {
  import -window "$window" "$work/$1.png" 2>/dev/null || return 1
  awk -v l="$(share "$1" "$LETTERING")" -v b="$(share "$1" "$BLUE")" -v i="$(share "$1" "$INK")" \
    'BEGIN { exit !(l > 0.005 && b > 0.005 && i > 0.005) }'
}

# Starts a Windows program from the folder $work/elsewhere, expects its window
# with the title on it (shot $1.png), and closes it as its close button does.
play() {
  local name=$1 program=$2
  start_game "$program" "$work/elsewhere"
  find_window
  local end=$((SECONDS + 30))
  until title_seen "$name"; do
    expect_alive "waiting for the title"
    [ "$SECONDS" -lt "$end" ] || fail "$name: the title is not on screen (see $work/$name.png)"
    sleep 0.25
  done
  close_and_check "$closer"
}

# Everything below drive C:, and whether the registry names the game anywhere.
files_now() { (cd "$drive" && find . | sort); }
registry_mentions() { wineserver -w && grep -il jellyquake "$WINEPREFIX"/*.reg; }

# A prefix failed to come up now and then beside another Wine test; a second try does.
make_prefix() { run wineboot --init >"$work/wineboot.out" 2>&1; }
make_prefix || { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"; make_prefix; } ||
  fail "could not make a Wine prefix: $(tail -n 5 "$work/wineboot.out")"
registry_mentions && fail "a fresh prefix names the game already"
files_now >"$work/files.before"

# The places of each kind, as Windows names them and as Linux finds them.
unix_path() { run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
local_data=$(run cmd /c echo '%LOCALAPPDATA%' | tr -d '\r')
roaming=$(run cmd /c echo '%APPDATA%' | tr -d '\r')
declare -A folder link root
folder[AllUsers]='C:\Program Files\Jellyquake'
folder[CurrentUser]="$local_data\Programs\Jellyquake"
link[AllUsers]="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Jellyquake.lnk"
link[CurrentUser]="$(unix_path "$roaming")/Microsoft/Windows/Start Menu/Programs/Jellyquake.lnk"
root[AllUsers]=HKLM
root[CurrentUser]=HKCU
other() { [ "$1" = AllUsers ] && echo CurrentUser || echo AllUsers; }

unzip -q "$zip" -d "$work/unpacked"
unzipped="$work/unpacked/jellyquake-$version"
[ -f "$unzipped/jellyquake.exe" ] || fail "the zip holds no jellyquake-$version/jellyquake.exe"
[ -n "$(find "$unzipped/graphics" -name '*.png')" ] && [ -n "$(find "$unzipped/sounds" -name '*.wav')" ] &&
  [ -f "$unzipped/licence.txt" ] && [ -f "$unzipped/readme.txt" ] || fail "the zip lacks images, sounds or texts"
signed "$unzipped/jellyquake.exe"

# True if a line of the shortcut's strings ends with the text given (from the
# environment: awk -v would read its backslashes as escapes).
ends_with() { T=$1 awk 'substr($0, length($0) - length(ENVIRON["T"]) + 1) == ENVIRON["T"] { f = 1 }
  END { exit !f }' "$work/shortcut"; }

# Installs the kind given, silently, and checks what it put where; with "play",
# starts the installed game too.
install() {
  local kind=$1 dir
  run "$setup" /S "/$kind" || fail "the silent install for $kind failed"
  dir=$(unix_path "${folder[$kind]}")
  installed=$dir
  diff -r -x uninstall.exe "$dir" "$unzipped" >"$work/diff" ||
    fail "$kind: the installer and the zip put different files in place: $(head "$work/diff")"
  [ -f "$dir/uninstall.exe" ] || fail "$kind: no uninstaller installed"
  signed "$dir/uninstall.exe"

  local shortcut=${link[$kind]} win=${folder[$kind]}
  [ -f "$shortcut" ] || fail "$kind: no Start menu shortcut"
  # The shortcut's Unicode strings, each after its length: the working folder, then
  # the icon's file. Its target is a plain string.
  strings -el "$shortcut" >"$work/shortcut"
  ends_with "$win" || fail "$kind: the shortcut starts elsewhere: $(cat "$work/shortcut")"
  ends_with "$win\jellyquake.exe" || fail "$kind: the shortcut has another icon"
  strings "$shortcut" | grep -qxF "$win\jellyquake.exe" || fail "$kind: the shortcut points elsewhere"

  run reg query "${root[$kind]}\\$key" | tr -d '\r' >"$work/entry" || fail "$kind: no uninstall entry"
  value() { awk -v n="$1" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }' "$work/entry"; }
  [ -n "$(value Publisher)" ] || fail "$kind: no publisher"
  local pair
  for pair in DisplayName=Jellyquake "DisplayVersion=$version" "DisplayIcon=$win\jellyquake.exe,0" \
    "InstallLocation=$win" "UninstallString=\"$win\uninstall.exe\" /$kind" \
    "QuietUninstallString=\"$win\uninstall.exe\" /$kind /S"; do
    [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || fail "$kind: ${pair%%=*} is $(value "${pair%%=*}")"
  done
  # The estimated size is in KiB, within one KiB a file of what is installed.
  local size=$(($(value EstimatedSize))) files actual
  files=$(find "$dir" -type f | wc -l) actual=$(du -sk --apparent-size "$dir" | cut -f1)
  [ $((size - actual)) -le "$files" ] && [ $((actual - size)) -le "$files" ] ||
    fail "$kind: estimated size $size KiB, installed $actual KiB"

  # The other kind is gone, all but a player's own file.
  local gone=$(other "$kind") left
  [ ! -e "${link[$gone]}" ] || fail "$kind: the shortcut of the install for $gone stayed"
  run reg query "${root[$gone]}\\$key" >/dev/null 2>&1 && fail "$kind: the entry of the install for $gone stayed"
  left=$(unix_path "${folder[$gone]}")
  if [ -e "$left" ]; then
    [ "$(cd "$left" && find . | sort | tr '\n' ' ')" = ". ./graphics ./graphics/mine.png " ] ||
      fail "$kind: the install for $gone was not removed: $(find "$left" | head)"
  fi
  [ "${2:-}" != play ] || play "installed-$kind" "$win\jellyquake.exe"
}

install CurrentUser play
echo "a player's own" >"$installed/graphics/mine.png"
install AllUsers play
install AllUsers
rm -r "$(unix_path "${folder[CurrentUser]}")"
echo "a player's own" >"$installed/graphics/mine.png"
install CurrentUser
rm -r "$(unix_path "${folder[AllUsers]}")"

# A folder name outside every ANSI code page, so deep that every image's and sound's
# full path (Z: and the Linux path) passes 260 characters; the game's own folder
# stays short enough to be the working folder.
# The game's folder is made exactly 246 characters long as Windows spells it (Z: and the
# path), whatever the length of the folder the test runs in: Windows takes no working
# folder of 258 or more, and the shortest file beside it still passes 260. Lengths are
# counted in characters, whatever the locale.
chars() { printf %s "$1" | LC_ALL=C.UTF-8 wc -m; }
game_folder_chars=246
deep="$work/Łukasz 张伟"
step=/a-folder-to-make-the-path-longer
tail_chars=$((2 + 12 + ${#version})) # Z: before, /jellyquake-VERSION after
while [ $(($(chars "$deep") + ${#step} + tail_chars)) -le $game_folder_chars ]; do deep="$deep$step"; done
rest=$((game_folder_chars - $(chars "$deep") - tail_chars))
[ $rest -lt 2 ] || deep="$deep/$(head -c $((rest - 1)) /dev/zero | tr '\0' x)"
mkdir -p "$deep"
cp -r "$unzipped" "$deep/"
far="$deep/jellyquake-$version"
shortest=$(cd "$far" && find graphics sounds -type f | awk '{ print length }' | sort -n | head -n 1)
[ $((2 + $(chars "$far") + 1 + shortest)) -gt 260 ] || fail "the deep folder is not deep enough"
play far-away "$far/jellyquake.exe"
# The first game clicked in a new prefix has been seen to stay deaf to the click
# for many seconds (see the play-through's order in tests/ui); a game that cannot
# open its sounds from here fails both tries.
hear_far_away() {
  JQ_RUN_WITH="$JQ_RUN_WITH" JQ_WINE_PREFIX="$WINEPREFIX" \
    bash "$here/../audio/sound_play_test.sh" "$far/jellyquake.exe" "$closer" "$levels" "$far"
}
hear_far_away || hear_far_away ||
  fail "the game in the deep folder named in Polish and Chinese was not heard"
wineserver -k 2>/dev/null || true # its session's X server is gone
wineserver -w

# The uninstaller starts a copy of itself in a temporary folder and returns at
# once: the copy has finished when every program in the prefix has ended.
run "$installed/uninstall.exe" /CurrentUser /S || fail "the silent uninstall failed"
timeout 60 wineserver -w || fail "the uninstaller did not finish"
[ ! -e "$installed" ] || fail "the uninstall left files: $(find "$installed" | head)"
[ ! -e "${link[CurrentUser]}" ] || fail "the shortcut stayed"
run reg query "HKCU\\$key" >/dev/null 2>&1 && fail "the uninstall entry stayed"
# NSIS leaves its temporary copy for Windows to delete at the next restart.
run wineboot --restart >/dev/null 2>&1 || fail "could not restart Wine"
registry_mentions && fail "the registry still names the game"
files_now | diff "$work/files.before" - >"$work/diff" || fail "files left or made: $(head "$work/diff")"
echo "windows packages ok, signed: $(basename "$setup") $(($(stat -c %s "$setup") / 1024)) KiB," \
  "$(basename "$zip") $(($(stat -c %s "$zip") / 1024)) KiB, $(find "$unzipped" -type f | wc -l) files"
rm -rf "$work"
