#!/usr/bin/env bash
# `shot` of regwizard-run --gui writes a real picture of the wizard: the
# scenario is played under xvfb-run with wine's X11 graphics driver, in a copy
# of the run's wine prefix (whose own driver is the null one, which keeps no
# pixels), and the PNG it saves must show more than black. Exits 77 (skipped)
# without xvfb-run.
#   shot-under-xvfb.sh WINE-RUN RUNNER SCENARIO
set -euo pipefail
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "shot-under-xvfb: xvfb-run is missing (Debian package xvfb): skipped"
    exit 77
fi
wine_run=$1 runner=$2 scenario=$3
work=$(mktemp -d)
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX=$work/prefix
wineserver=/usr/lib/wine/wineserver
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine_run" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w
# The X server's screen is where the window's pixels are copied from.
xvfb-run -a -s "-screen 0 1024x768x24" "$wine_run" "$runner" --gui --shots "$work/shots" "$scenario"
/usr/bin/python3 - "$work/shots/welcome.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
pos, idat, size = 8, b"", None
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        size = struct.unpack(">II", body[:8])
    elif kind == b"IDAT":
        idat += body
    pos += 12 + length
width, height = size
rows = zlib.decompress(idat)
stride = len(rows) // height
# Each row starts with its filter byte; any other byte above zero is a pixel
# that is not black.
lit = any(any(rows[r * stride + 1:(r + 1) * stride]) for r in range(height))
print(f"shot-under-xvfb: {width}x{height} PNG, {'not ' if lit else ''}all black")
sys.exit(0 if lit and width > 100 and height > 100 else 1)
PY
