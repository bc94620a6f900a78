#!/usr/bin/env bash
# Plays scenario files against the stand-in registration server, started on
# free loopback ports for the run: REGSVR_HTTP and REGSVR_FTP tell the
# scenarios where it listens, REGSVR_REQUESTS where it records requests.
#   run-scenarios.sh RUNNER [RUNNER-OPTIONS...] SCENARIO...
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/root"
cp "$source_dir/tools/regserver/phone_list.csv" "$work/root/"
/usr/bin/python3 "$source_dir/tools/regserver.py" --root "$work/root" \
    --requests "$work/requests.jsonl" --ports-file "$work/ports" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$work/ports" ] && break; sleep 0.1; done
if [ ! -s "$work/ports" ]; then
    echo "run-scenarios: the stand-in registration server did not start" >&2
    cat "$work/server.log" >&2
    exit 2
fi
read -r ftp_port http_port < <(sed 's/ftp=\([0-9]*\) http=\([0-9]*\)/\1 \2/' "$work/ports")
export REGSVR_HTTP="http://127.0.0.1:$http_port" REGSVR_FTP="ftp://127.0.0.1:$ftp_port"
export REGSVR_REQUESTS="$work/requests.jsonl" REGSVR_ROOT="$work/root"
"$@"
