#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, so that nothing outside
# that folder is written: wine-run.sh <prefix folder> <program.exe> [arguments...]
# The first run makes the prefix (about ten seconds); runs started meanwhile wait
# for it rather than making it twice.
set -euo pipefail
prefix=$(realpath -m "$1")
shift
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko installer while the prefix is made, and no sound drivers: with no
# sound card, Wine's ALSA driver writes ALSA's complaints on the program's standard
# error. No menu builder either: it writes menus and file types into the user's
# home. A caller that wants other overrides sets its own.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES-"mscoree,mshtml=;winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"}

if [ ! -e "$prefix/.made" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -e "$prefix/.made" ]; then
      rm -rf "$prefix"
      wine wineboot --init >/dev/null 2>&1
      touch "$prefix/.made"
    fi
  ) 9>"$prefix.lock"
fi
exec wine "$@"
