#!/usr/bin/env bash
# Installs the browser tests' npm packages into the folder given, as the lock file
# beside this script pins them: once, and again whenever the lock file changes.
# Node finds them with NODE_PATH=<folder>/node_modules.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
to=$1
cmp -s "$here/package-lock.json" "$to/package-lock.json" && exit 0
mkdir -p "$to"
cp "$here/package.json" "$here/package-lock.json" "$to/"
npm ci --prefix "$to" --no-audit --no-fund || { rm -f "$to/package-lock.json"; exit 1; }
