#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode, when the release has a
# certificate: JQ_SIGN_PFX names its PKCS#12 file, JQ_SIGN_PASSWORD_FILE a file
# holding its password, JQ_SIGN_TIMESTAMP_URL (optional) a timestamp server, so the
# signature outlives the certificate. Without JQ_SIGN_PFX it does nothing. A
# signing that fails fails the build: an unsigned file must never pass for signed.
# Usage: sign.sh <program.exe>
set -euo pipefail
file=$1
[ -n "${JQ_SIGN_PFX:-}" ] || exit 0
args=(sign -pkcs12 "$JQ_SIGN_PFX" -h sha256 -n Jellyquake)
if [ -n "${JQ_SIGN_PASSWORD_FILE:-}" ]; then
  args+=(-readpass "$JQ_SIGN_PASSWORD_FILE")
fi
if [ -n "${JQ_SIGN_TIMESTAMP_URL:-}" ]; then
  args+=(-ts "$JQ_SIGN_TIMESTAMP_URL")
fi
signed="$file.signed"
rm -f "$signed"
if ! osslsigncode "${args[@]}" -in "$file" -out "$signed" >"$file.signing.log" 2>&1; then
  echo "signing $(basename "$file") failed: $(tail -n 3 "$file.signing.log")" >&2
  rm -f "$signed" "$file.signing.log"
  exit 1
fi
rm -f "$file.signing.log"
mv "$signed" "$file"
