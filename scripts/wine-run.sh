#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly and bounded: kelto's own prefix
# (made on first use), no crash dialog, a server kept up between runs.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#        scripts/wine-run.sh --stop      ends the prefix's server and programs
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver

if [ "${1:-}" = "--stop" ]; then
    exec "$server" -k
fi

if [ ! -f "$WINEPREFIX/.kelto-ready" ]; then
    mkdir -p "$WINEPREFIX"
    "$server" -p </dev/null >/dev/null 2>&1 || true
    "$wine" wineboot </dev/null >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.kelto-ready"
fi
# The server and Wine's services inherit no pipe of ours.
"$server" -p </dev/null >/dev/null 2>&1 || true
exec timeout -k 5 "${KELTO_WINE_TIMEOUT:-300}" "$wine" "$@"
