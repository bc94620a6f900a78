#!/usr/bin/env bash
# Runs a Windows program of the x86_64 build under 64-bit wine, in the prefix
# $WINEPREFIX (make test-windows prepares a fresh one per run), without a
# display and without wine's own messages.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec /usr/lib/wine/wine64 "$@"
