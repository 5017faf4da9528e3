#!/usr/bin/env bash
# Makes the Windows packages and tries them under Wine, in a fresh prefix of their
# own: a silent install (run twice, as a player installing again does) puts the
# game, a Start menu shortcut to it and its Apps & features entry in place, with
# the same files the zip holds; the installed game, started from another folder,
# shows its title; the zip unpacked elsewhere does too; a silent uninstall leaves
# no file (but a player's own), shortcut or registry entry behind. Screenshots stay
# in the work folder on failure.
#
# Usage: windows_packages_test.sh <Windows build dir> <version> <close_window>
set -euo pipefail

here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
source "$here/../../scripts/lib/xvfb.sh"
start_xvfb 1024x768x24
source "$here/../app/game_driver.sh"

build=$(realpath "$1")
version=$2
closer=$3
work=$build/windows_packages
rm -rf "$work"
mkdir -p "$work/elsewhere" "$work/unpacked here"

cmake --build "$build" --target windows_packages >"$work/build.out" 2>&1 ||
  fail "the packages did not build: $(tail "$work/build.out")"
setup=$build/packages/jellyquake-$version-setup.exe
zip=$build/packages/jellyquake-$version-windows.zip
[ -f "$setup" ] && [ -f "$zip" ] || fail "no $setup or $zip"

export WINEPREFIX=$work/wineprefix
# Wine's runner without its sound drivers (no card here) and without the menu
# builder, which would copy the Start menu shortcut into this machine's menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
JQ_RUN_WITH="$here/../../scripts/wine-run.sh $WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
run() { $JQ_RUN_WITH "$@"; }

drive=$WINEPREFIX/drive_c
installed="$drive/Program Files/Jellyquake"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Jellyquake.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Jellyquake'

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

# Making a prefix has failed at once now and then beside another Wine test; a
# second try from scratch has done.
make_prefix() { run wineboot --init >"$work/wineboot.out" 2>&1; }
make_prefix || { wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"; make_prefix; } ||
  fail "could not make a Wine prefix: $(tail -n 5 "$work/wineboot.out")"
registry_mentions && fail "a fresh prefix names the game already"
files_now >"$work/files.before"

for _ in 1 2; do
  run "$setup" /S || fail "the silent install failed"
done
unzip -q "$zip" -d "$work/unpacked here"
unzipped="$work/unpacked here/jellyquake-$version"
[ -f "$unzipped/jellyquake.exe" ] || fail "the zip holds no jellyquake-$version/jellyquake.exe"
[ -n "$(find "$unzipped/graphics" -name '*.png')" ] || fail "the zip holds no images"
[ -n "$(find "$unzipped/sounds" -name '*.wav')" ] || fail "the zip holds no sounds"
[ -f "$unzipped/licence.txt" ] && [ -f "$unzipped/readme.txt" ] || fail "the zip lacks its licence or read-me"
diff -r -x uninstall.exe "$installed" "$unzipped" >"$work/diff" ||
  fail "the installer and the zip put different files in place: $(head "$work/diff")"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller installed"

[ -f "$shortcut" ] || fail "no Start menu shortcut"
# The shortcut's Unicode strings, each after its length: the working folder, then
# the icon's file. Its target is a plain string.
strings -el "$shortcut" >"$work/shortcut"
grep -q 'C:\\Program Files\\Jellyquake$' "$work/shortcut" || fail "the shortcut starts elsewhere: $(cat "$work/shortcut")"
grep -q 'C:\\Program Files\\Jellyquake\\jellyquake.exe$' "$work/shortcut" || fail "the shortcut has another icon"
strings "$shortcut" | grep -qx 'C:\\Program Files\\Jellyquake\\jellyquake.exe' || fail "the shortcut points elsewhere"

run reg query "$key" | tr -d '\r' >"$work/entry" || fail "no uninstall entry"
value() { awk -v n="$1" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }' "$work/entry"; }
[ "$(value DisplayName)" = Jellyquake ] || fail "display name: $(cat "$work/entry")"
[ "$(value DisplayVersion)" = "$version" ] || fail "display version: $(value DisplayVersion)"
[ -n "$(value Publisher)" ] || fail "no publisher"
[ "$(value DisplayIcon)" = 'C:\Program Files\Jellyquake\jellyquake.exe,0' ] || fail "display icon: $(value DisplayIcon)"
[ "$(value UninstallString)" = '"C:\Program Files\Jellyquake\uninstall.exe"' ] ||
  fail "uninstall command: $(value UninstallString)"
[ "$(value QuietUninstallString)" = '"C:\Program Files\Jellyquake\uninstall.exe" /S' ] ||
  fail "quiet uninstall command: $(value QuietUninstallString)"
# The estimated size is in KiB, within one KiB a file of what is installed.
size=$(($(value EstimatedSize)))
files=$(find "$installed" -type f | wc -l)
actual=$(du -sk --apparent-size "$installed" | cut -f1)
[ $((size - actual)) -le "$files" ] && [ $((actual - size)) -le "$files" ] ||
  fail "estimated size $size KiB, installed $actual KiB"

play installed 'C:\Program Files\Jellyquake\jellyquake.exe'
play unzipped "$unzipped/jellyquake.exe"

echo "a player's own" >"$installed/graphics/mine.png"
# The uninstaller starts a copy of itself in a temporary folder and returns at
# once: the copy has finished when every program in the prefix has ended.
run "$installed/uninstall.exe" /S || fail "the silent uninstall failed"
timeout 60 wineserver -w || fail "the uninstaller did not finish"
# Only what the installer brought goes: a player's own file stays, with its folders.
[ "$(cd "$installed" && find . | sort | tr '\n' ' ')" = ". ./graphics ./graphics/mine.png " ] ||
  fail "the uninstall left other than the player's file: $(find "$installed")"
rm -r "$installed"
[ ! -e "$shortcut" ] || fail "the shortcut stayed"
run reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry stayed"
# NSIS leaves its temporary copy for Windows to delete at the next restart.
run wineboot --restart >/dev/null 2>&1 || fail "could not restart Wine"
registry_mentions && fail "the registry still names the game"
files_now | diff "$work/files.before" - >"$work/diff" || fail "files left or made: $(head "$work/diff")"
echo "windows packages ok: $(basename "$setup") $(($(stat -c %s "$setup") / 1024)) KiB," \
  "$(basename "$zip") $(($(stat -c %s "$zip") / 1024)) KiB, $files files installed"
rm -rf "$work"
