#!/usr/bin/env bash
# Plays scenario files against the stand-in registration server, started on
# free loopback ports for the run. The scenarios find it through:
#   REGSVR_HTTP, REGSVR_FTP   the server
#   REGSVR_SLOW_HTTP          one that takes 30 s over every answer
#   REGSVR_CLOSED_FTP         a port nothing listens on
#   REGSVR_REQUESTS           the requests the server recorded (JSON lines)
#   REGSVR_LAST_BODY          the body of the last request, as the server got it
#                             (a scenario's `link` shows it below the application folder)
# Usage: run-scenarios.sh RUNNER [RUNNER-OPTIONS...] SCENARIO...
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
servers=()
trap 'kill "${servers[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# Starts a server serving $work/NAME with the given options; sets its ports.
start_server() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    cp "$source_dir/tools/regserver/phone_list.csv" "$work/$name/"
    /usr/bin/python3 "$source_dir/tools/regserver.py" --root "$work/$name" \
        --requests "$work/$name.jsonl" --last-body "$work/$name.body" \
        --ports-file "$work/$name.ports" "$@" >"$work/$name.log" 2>&1 &
    servers+=($!)
    for _ in $(seq 1 100); do [ -s "$work/$name.ports" ] && break; sleep 0.1; done
    if [ ! -s "$work/$name.ports" ]; then
        echo "run-scenarios: the stand-in registration server did not start" >&2
        cat "$work/$name.log" >&2
        exit 2
    fi
    read -r ftp_port http_port < <(sed 's/ftp=\([0-9]*\) http=\([0-9]*\)/\1 \2/' "$work/$name.ports")
}

start_server root
export REGSVR_HTTP="http://127.0.0.1:$http_port" REGSVR_FTP="ftp://127.0.0.1:$ftp_port"
export REGSVR_REQUESTS="$work/root.jsonl" REGSVR_LAST_BODY="$work/root.body"
start_server slow --delay 30
export REGSVR_SLOW_HTTP="http://127.0.0.1:$http_port"
closed_port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
export REGSVR_CLOSED_FTP="ftp://127.0.0.1:$closed_port"

"$@"
