#!/usr/bin/env bash
# The demo: a home with a registry, an application folder and a simulated
# modem, the stand-in registration server on loopback, and the wizard shown by
# quorvale-host. Without a display the member's path is played offscreen and
# a picture of every page is saved.
set -euo pipefail

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
home="$root/$build/demo"
server_root="$home/server"
rm -rf "$home/registry" "$home/app" "$home/shots" "$home/phonebook.ini"
mkdir -p "$home/registry" "$home/app" "$server_root"
cp -r "$root/apps/demo/app/." "$home/app/"
cp "$root/apps/demo/Registration.html" "$home/app/"
cp "$root/tools/regserver/phone_list.csv" "$server_root/"
printf '[Devices]\r\n1=modem|Standard 56000 bps Modem\r\n2=isdn|ISDN Adapter\r\n[Network]\r\nNumber=18005550142\r\n' \
    > "$home/modem.ini"

/usr/bin/python3 "$root/tools/regserver.py" --root "$server_root" \
    --requests "$home/requests.jsonl" --ports-file "$home/ports" > "$home/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do [ -s "$home/ports" ] && break; sleep 0.1; done
read -r ftp_port http_port < <(sed 's/ftp=\([0-9]*\) http=\([0-9]*\)/\1 \2/' "$home/ports")
export REGSVR_HTTP="http://127.0.0.1:$http_port" REGSVR_FTP="ftp://127.0.0.1:$ftp_port"

escaped_app=${home//\\/\\\\}/app
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quorvale\\1.0]\r\n"AppPath"="%s"\r\n"Log"="True"\r\n"RegSvrNum"="18005550142"\r\n"RegSvrHttp"="%s"\r\n"RegSvrFtp"="%s"\r\n\r\n' \
    "$escaped_app" "$REGSVR_HTTP" "$REGSVR_FTP" > "$home/registry/HKEY_LOCAL_MACHINE.reg"
echo "demo home: $home (registry in $home/registry, log in $home/app/quorvale.log)"
echo "registration server: $REGSVR_HTTP and $REGSVR_FTP"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    QUORVALE_REGISTRY="$home/registry" "$root/$build/apps/quorvale-host"
else
    echo "no display: playing the demo sign-up offscreen"
    QT_QPA_PLATFORM=offscreen "$root/$build/apps/regwizard-run" --gui --home "$home" \
        --shots "$home/shots" "$root/apps/demo/walkthrough.scn"
    echo "pictures of every page: $home/shots"
fi
