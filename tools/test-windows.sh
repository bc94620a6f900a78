#!/usr/bin/env bash
# Runs the tests of the x86_64 Windows build under 64-bit wine, in a fresh
# wine prefix made for this run and removed afterwards.
#   test-windows.sh BUILD-DIR [CTEST-OPTIONS...]
set -euo pipefail
build=$1
shift
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/regwizard-wine-XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver=/usr/lib/wine/wineserver
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
# No display: wine's null graphics driver still runs windows and message boxes.
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
# The regional settings the scenarios assume: United States English with the
# long date written "Saturday, December 05, 2026" (wine's own omits the 0).
/usr/lib/wine/wine64 reg add 'HKCU\Control Panel\International' /v sLongDate \
    /d 'dddd, MMMM dd, yyyy' /f >/dev/null 2>&1
"$wineserver" -w
# A wine server kept running, and wine started once before CTest: otherwise
# wine's background processes hold CTest's output pipe and every test waits.
"$wineserver" -p
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1
cd "$build" && ctest --output-on-failure "$@"
