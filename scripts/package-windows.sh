#!/usr/bin/env bash
# Builds the Windows packages and prints their paths: build-windows/packages/
# jellyquake-<version>-setup.exe (an installer made with NSIS) and
# jellyquake-<version>-windows.zip (the same files, to unpack anywhere). The
# version is the one in project() in CMakeLists.txt. Extra arguments go to cmake.
#
# With a certificate the game, the uninstaller and the installer are signed with
# Authenticode (packaging/windows/sign.sh): JQ_SIGN_PFX names a PKCS#12 file,
# JQ_SIGN_PASSWORD_FILE a file holding its password, JQ_SIGN_TIMESTAMP_URL a
# timestamp server (optional). Without one they are built unsigned.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${JQ_WINDOWS_BUILD_DIR:-$root/build-windows}"
if [ -n "${JQ_SIGN_PFX:-}" ]; then
  [ -r "$JQ_SIGN_PFX" ] || { echo "no certificate at $JQ_SIGN_PFX" >&2; exit 1; }
  [ -z "${JQ_SIGN_PASSWORD_FILE:-}" ] || [ -r "$JQ_SIGN_PASSWORD_FILE" ] ||
    { echo "no password file at $JQ_SIGN_PASSWORD_FILE" >&2; exit 1; }
  export JQ_SIGN_PFX JQ_SIGN_PASSWORD_FILE JQ_SIGN_TIMESTAMP_URL
else
  echo "unsigned: JQ_SIGN_PFX names no certificate, so Windows will call the publisher unknown" >&2
fi
bash "$root/scripts/build-windows.sh" "$@" >/dev/null
cmake --build "$build" --target windows_packages >/dev/null
ls "$build"/packages/jellyquake-*-setup.exe "$build"/packages/jellyquake-*-windows.zip
