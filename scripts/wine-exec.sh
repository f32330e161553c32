#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (never the
# user's). CTest uses it as the cross-compiling emulator. The display, the
# sound server and the wineserver are started by scripts/win-env.sh.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/win-env.sh" vars
exec "$DC_WINE_BIN" "$@"
