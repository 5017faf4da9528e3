#!/usr/bin/env bash
# The Windows packages under Wine, in a fresh prefix of their own: a silent install
# puts the game, a Start menu shortcut to it and its Apps & features entry in
# place, with the same files the zip holds; the installed game, started from
# another folder, shows its title; a silent uninstall leaves no file, shortcut or
# registry entry behind; the zip unpacked elsewhere starts the same way.
# Screenshots stay in <work>/ on failure.
#
# Usage: windows_packages_test.sh <setup.exe> <zip> <work folder> <version>
set -euo pipefail

if [ -z "${JQ_INSIDE_XVFB:-}" ]; then
  exec env JQ_INSIDE_XVFB=1 xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

setup=$(realpath "$1")
zip=$(realpath "$2")
work=$(realpath -m "$3")
version=$4
rm -rf "$work"
mkdir -p "$work/elsewhere" "$work/unpacked here"
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all
# No Mono or Gecko installers, no sound drivers (no card here), and no menu
# builder: it would copy the Start menu shortcut into this machine's own menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

drive=$WINEPREFIX/drive_c
installed="$drive/Program Files/Jellyquake"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Jellyquake.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Jellyquake'

# Waits up to $1 seconds for the command after to succeed.
within() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

# The share (0 to 1) of the screen's pixels in a colour class of the title image,
# for ImageMagick's -fx: its orange lettering, its blue blobs and its dark ink.
LETTERING='r>200/255 && g>80/255 && g<225/255 && b<110/255 && r-b>140/255'
BLUE='b>100/255 && b-r>45/255'
INK='max(r,max(g,b))<70/255 && b-g>10/255'
share() {
  convert "$work/$1.png" -sample 25% -fx "$2" -format '%[fx:mean]' info:
}
title_seen() {
  import -window root "$work/$1.png" 2>/dev/null || return 1
  awk -v l="$(share "$1" "$LETTERING")" -v b="$(share "$1" "$BLUE")" -v i="$(share "$1" "$INK")" \
    'BEGIN { exit !(l > 0.005 && b > 0.005 && i > 0.005) }'
}

# Starts a Windows program from the folder $work/elsewhere, expects the game's
# window with its title on it (screenshot $1.png), and asks it to close.
play() {
  local name=$1 program=$2 window pid status=0
  (cd "$work/elsewhere" && exec wine "$program") 2>"$work/$name.err" &
  pid=$!
  window=$(timeout 30 xdotool search --sync --name '^Jellyquake$' | head -n 1) ||
    fail "$name: no window titled Jellyquake"
  within 30 title_seen "$name" || fail "$name: the title is not on screen (see $work/$name.png)"
  # Without /F, taskkill asks the window to close, as its close button does.
  wine taskkill /IM jellyquake.exe >/dev/null 2>&1 || fail "$name: could not ask the game to close"
  within 20 eval "! kill -0 $pid 2>/dev/null" || fail "$name: the game did not close"
  wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "$name: the game ended with status $status: $(cat "$work/$name.err")"
  within 10 eval "! xdotool search --name '^Jellyquake$' >/dev/null" || fail "$name: its window stayed"
}

# Everything below drive C:, the registry's keys that name the game, Wine's view.
files_now() { (cd "$drive" && find . | sort); }
registry_mentions() { wineserver -w && grep -il jellyquake "$WINEPREFIX"/*.reg; }

wine wineboot --init >/dev/null 2>&1 || fail "could not make a Wine prefix"
wineserver -w
files_now >"$work/files.before"
registry_mentions && fail "a fresh prefix names the game already"

wine "$setup" /S || fail "the silent install failed"
unzip -q "$zip" -d "$work/unpacked here"
unzipped="$work/unpacked here/jellyquake-$version"
[ -f "$unzipped/jellyquake.exe" ] || fail "the zip holds no jellyquake-$version/jellyquake.exe"
[ "$(find "$unzipped/graphics" -name '*.png' | wc -l)" -gt 0 ] || fail "the zip holds no images"
[ "$(find "$unzipped/sounds" -name '*.wav' | wc -l)" -gt 0 ] || fail "the zip holds no sounds"
[ -f "$unzipped/licence.txt" ] && [ -f "$unzipped/readme.txt" ] || fail "the zip lacks its licence or read-me"
diff -r -x uninstall.exe "$installed" "$unzipped" >"$work/diff" ||
  fail "the installer and the zip put different files in place: $(head "$work/diff")"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller installed"

[ -f "$shortcut" ] || fail "no Start menu shortcut"
# The shortcut's Unicode strings, each after its length: the working folder, then
# the icon's file.
strings -el "$shortcut" >"$work/shortcut"
grep -q 'C:\\Program Files\\Jellyquake$' "$work/shortcut" || fail "the shortcut starts elsewhere: $(cat "$work/shortcut")"
grep -q 'C:\\Program Files\\Jellyquake\\jellyquake.exe$' "$work/shortcut" || fail "the shortcut has another icon"
strings "$shortcut" | grep -qx 'C:\\Program Files\\Jellyquake\\jellyquake.exe' || fail "the shortcut points elsewhere"

wine reg query "$key" | tr -d '\r' >"$work/entry" || fail "no uninstall entry"
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

# The uninstaller starts a copy of itself in a temporary folder and returns at
# once: the copy has finished when every program in the prefix has ended.
wine "$installed/uninstall.exe" /S || fail "the silent uninstall failed"
timeout 60 wineserver -w || fail "the uninstaller did not finish"
[ ! -e "$installed" ] || fail "files stayed: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the shortcut stayed"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry stayed"
# NSIS leaves its temporary copy for Windows to delete at the next restart.
wine wineboot --restart >/dev/null 2>&1 || fail "could not restart Wine"
registry_mentions && fail "the registry still names the game"
files_now | diff "$work/files.before" - >"$work/diff" || fail "files left or made: $(head "$work/diff")"
echo "windows packages ok: $(basename "$setup") $(($(stat -c %s "$setup") / 1024)) KiB"
rm -rf "$work"
