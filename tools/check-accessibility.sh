#!/usr/bin/env bash
# Checks the wizard's Qt window as members with a keyboard and a screen reader
# meet it: the demo (tools/run-demo.sh) under Xvfb on a 1366x768 screen with
# its own session bus and accessibility bus, driven by
# tools/check-accessibility.py through AT-SPI and xdotool; then once more at
# QT_SCALE_FACTOR=2 to check that the whole window is on the screen.
# Needs xvfb, xdotool, python3-pyatspi, at-spi2-core and dbus-x11.
#   tools/check-accessibility.sh [BUILD]
set -uo pipefail

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
log="$root/$build/check-accessibility"
mkdir -p "$log"

# One run: the demo in the background, the checker against it.
#   run NAME CHECKER-ARGS... (with QT_SCALE_FACTOR as the caller sets it)
run() {
    local name=$1
    shift
    xvfb-run -a -s "-screen 0 1366x768x24" dbus-run-session -- bash -o pipefail -c '
        export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
        setsid "$0/tools/run-demo.sh" "$1" > "$2/$3.log" 2>&1 &
        demo=$!
        /usr/bin/python3 "$0/tools/check-accessibility.py" "${@:4}" 2>&1 | grep -v "^dbus-daemon"
        status=$?
        kill -- -"$demo" 2>/dev/null
        wait "$demo" 2>/dev/null
        exit $status' "$root" "$build" "$log" "$name" "$@"
}

echo "== keyboard and screen reader (1366x768, scale 1)"
run plain
plain=$?
sleep 3 # the first X server lets its display go
echo "== scale 2 (1366x768)"
QT_SCALE_FACTOR=2 run scaled --scale
scaled=$?
if [ $plain -ne 0 ] || [ $scaled -ne 0 ]; then
    echo "some checks failed (demo logs in $log)"
    exit 1
fi
echo "all checks passed"
