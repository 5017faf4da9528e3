#!/usr/bin/env bash
# Serves the browser build on this machine: builds build-web/site/ if it is not
# there yet (bash scripts/build-web.sh), then serves it on 127.0.0.1 and prints the
# address to open. The port is JQ_WEB_PORT, or else the first free one from 8000.
# Ctrl+C stops the server.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
site="${JQ_WEB_BUILD_DIR:-$root/build-web}/site"
[ -f "$site/index.html" ] && [ -f "$site/jellyquake.wasm" ] || bash "$root/scripts/build-web.sh"
exec python3 - "$site" "${JQ_WEB_PORT:-}" <<'PY'
import functools, http.server, sys
site, wanted = sys.argv[1], sys.argv[2]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=site)
handler.func.extensions_map[".wasm"] = "application/wasm"
ports = [int(wanted)] if wanted else range(8000, 8100)
for port in ports:
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        break
    except OSError:
        server = None
if server is None:
    sys.exit("no free port to serve on")
print(f"Jellyquake is at http://127.0.0.1:{server.server_port}/ (Ctrl+C stops it)", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
