#!/usr/bin/env bash
# The demo of the Windows build under wine64: a wine prefix of the demo's own
# (BUILD/windows-demo/prefix, kept between runs), the component's settings and
# the simulated modem in its registry, an application folder, and the
# stand-in registration server on loopback. With a display, quorvale-host.exe
# shows its splash screen and then the wizard, for a member to sign up on the
# Linux desktop. In every case regwizard-run.exe --gui then plays the demo
# sign-up (apps/demo/walkthrough.scn) in the wizard's window on a virtual X
# display (xvfb-run) and saves a picture of every page in
# BUILD/windows-demo/shots.
#   run-windows-demo.sh [BUILD-DIR]   (default build-win64, the x86_64 build)
set -euo pipefail

build=${1:-build-win64}
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/$build/apps"
demo="$root/$build/windows-demo"
export WINEPREFIX="$demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
for program in quorvale-host.exe RegWizard.dll regwizard-run.exe; do
    if [ ! -f "$bin/$program" ]; then
        echo "run-windows-demo: $bin/$program is missing: build $build first" >&2
        exit 1
    fi
done

# A folder of this machine as wine names it: the root is drive Z:.
windows_path() {
    local path="Z:$1"
    echo "${path//\//\\}"
}

server=
finish() {
    [ -n "$server" ] && kill "$server" 2>/dev/null
    "$wineserver" -k 2>/dev/null || true
}
trap finish EXIT

mkdir -p "$demo"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "making the demo's wine prefix: $WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
fi
# One wine server for the commands below, so that each starts at once.
"$wineserver" -p 2>/dev/null || true
"$wine" cmd /c exit >/dev/null 2>&1

# The application folder, as an installer leaves it, and a home for the
# pictures' run (regwizard-run --home, with its own application folder).
rm -rf "$demo/app" "$demo/home" "$demo/shots" "$demo/server" "$demo/ports"
mkdir -p "$demo/app" "$demo/home/app" "$demo/shots" "$demo/server"
for folder in "$demo/app" "$demo/home/app"; do
    cp -r "$root/apps/demo/app/." "$folder/"
    cp "$root/apps/demo/Registration.html" "$folder/"
done
cp "$root/tools/regserver/phone_list.csv" "$demo/server/"

/usr/bin/python3 "$root/tools/regserver.py" --root "$demo/server" \
    --requests "$demo/requests.jsonl" --ports-file "$demo/ports" >"$demo/server.log" 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$demo/ports" ] && break; sleep 0.1; done
read -r ftp_port http_port < <(sed 's/ftp=\([0-9]*\) http=\([0-9]*\)/\1 \2/' "$demo/ports")
export REGSVR_HTTP="http://127.0.0.1:$http_port" REGSVR_FTP="ftp://127.0.0.1:$ftp_port"

# The component's settings (as tools/run-demo.sh writes them on Linux), from
# a clean key so no member ID of an earlier run is left, and the simulated
# modem: wine's dial-up functions are stubs.
key='HKLM\SOFTWARE\quorvale\1.0'
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true
setting() { "$wine" reg add "$key" /v "$1" /d "$2" /f >/dev/null; }
setting AppPath "$(windows_path "$demo/app")"
setting Log True
setting RegSvrNum 18005550142
setting RegSvrHttp "$REGSVR_HTTP"
setting RegSvrFtp "$REGSVR_FTP"
setting Modem Simulated

# The simulated modem's devices and the registration network's number in
# %APPDATA%\quorvale\modem.ini; its phone book starts empty.
modem_folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/quorvale"
mkdir -p "$modem_folder"
rm -f "$modem_folder/phonebook.ini"
printf '[Devices]\r\n1=modem|Standard 56000 bps Modem\r\n2=isdn|ISDN Adapter\r\n[Network]\r\nNumber=18005550142\r\n' \
    >"$modem_folder/modem.ini"

echo "demo wine prefix: $WINEPREFIX (the log in $demo/app/quorvale.log)"
echo "registration server: $REGSVR_HTTP and $REGSVR_FTP"

if [ -n "${DISPLAY:-}" ]; then
    "$wine" "$bin/quorvale-host.exe" || echo "quorvale-host.exe ended with status $?"
else
    echo "no display: playing the demo sign-up on a virtual display"
fi

# The pictures' run: a wine session of its own on a virtual X display, whose
# X11 driver keeps the pixels the pictures are copied from; the session ends
# before the display does.
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    '"$0" "$@"; status=$?; "'"$wineserver"'" -k 2>/dev/null; exit $status' \
    "$wine" "$bin/regwizard-run.exe" --gui \
    --shots "$(windows_path "$demo/shots")" --home "$(windows_path "$demo/home")" \
    "$(windows_path "$root/apps/demo/walkthrough.scn")"
echo "pictures of every page: $demo/shots"
