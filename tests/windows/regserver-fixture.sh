#!/bin/sh
# Starts or stops the stand-in registration server for the WinINet tests, which
# run under wine and cannot start a Linux program themselves. CTest runs this
# (FIXTURES_SETUP / FIXTURES_CLEANUP) outside wine.
#   regserver-fixture.sh start|stop DIR SOURCE-DIR
# DIR/root is served by FTP (the access-number list in it); every sign-up is
# answered with the bytes of DIR/reply.bin, which the tests write; DIR/last-body
# is the last body posted; DIR/ports holds "ftp=PORT http=PORT" once both listen.
set -eu
dir=$2
case $1 in
start)
    rm -rf "$dir"
    mkdir -p "$dir/root"
    cp "$3/tools/regserver/phone_list.csv" "$dir/root/"
    : >"$dir/reply.bin"
    # Output to files: CTest would otherwise wait on the server through its pipe.
    /usr/bin/python3 "$3/tools/regserver.py" --root "$dir/root" --ports-file "$dir/ports" \
        --reply-file "$dir/reply.bin" --last-body "$dir/last-body" \
        </dev/null >/dev/null 2>"$dir/server.log" &
    echo $! >"$dir/pid"
    for _ in $(seq 250); do
        [ -s "$dir/ports" ] && exit 0
        sleep 0.04
    done
    echo "the registration server did not start" >&2
    cat "$dir/server.log" >&2
    exit 1
    ;;
stop)
    [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    ;;
esac
