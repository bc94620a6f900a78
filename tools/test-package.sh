#!/usr/bin/env bash
# Checks the Debian package of a build folder as a user gets it: lintian finds
# no error in it, it installs with apt-get (which brings its dependencies),
# the installed regwizard-run plays a sign-up against the installed stand-in
# registration server, man finds the manual pages, and removing it (purge)
# leaves none of its files behind. Needs root.
#   test-package.sh BUILD-DIR [SCENARIO]
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
scenario=${2:-$root/tests/scenarios/exchange_signup.scn}

shopt -s nullglob
debs=("$build"/regwizard_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "test-package: expected one regwizard_*.deb in $build, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() { echo "test-package: $*" >&2; failed=1; }

echo "== lintian $(basename "$deb")"
# Warnings are shown; an error fails the check.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "== apt-get install"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; exit 1; }
# What the package put on the system (directories aside: others share them).
while IFS= read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done < <(dpkg -L regwizard) >"$work/files"
[ -s "$work/files" ] || fail "dpkg -L lists no file of regwizard"

for program in quorvale-host regwizard-run regwizard-regsvr; do
    [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not in /usr/bin"
    man -w "$program" >/dev/null || fail "man finds no page for $program"
done
grep -q '^Exec=quorvale-host$' /usr/share/applications/quorvale-host.desktop ||
    fail "the desktop entry does not start quorvale-host"
[ -f /usr/share/regwizard/demo/app/conf/register.cfg ] || fail "the demo application folder is missing"

echo "== quorvale-host registers the installed library"
# A registry of its own without the class: the host registers the library
# installed with it, creates the wizard and quits after a few seconds.
mkdir -p "$work/registry" "$work/runtime"
chmod 700 "$work/runtime"
if QT_QPA_PLATFORM=offscreen QUORVALE_REGISTRY="$work/registry" XDG_RUNTIME_DIR="$work/runtime" \
    QUORVALE_HOST_QUIT_AFTER_MS=4000 timeout 60 /usr/bin/quorvale-host >"$work/host.log" 2>&1; then
    library=$(readlink -f /usr/lib/libregwizard.so.4 || true)
    grep -qF "\"$library\"" "$work/registry/HKEY_CLASSES_ROOT.reg" 2>/dev/null ||
        fail "quorvale-host did not register the installed library $library"
else
    cat "$work/host.log" >&2
    fail "the installed quorvale-host failed"
fi

echo "== $(basename "$scenario") against the installed stand-in server"
data=/usr/share/regwizard/regserver
mkdir -p "$work/server"
cp "$data/phone_list.csv" "$work/server/"
"$data/regserver.py" --root "$work/server" --requests "$work/requests.jsonl" \
    --ports-file "$work/ports" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 1 100); do [ -s "$work/ports" ] && break; sleep 0.1; done
if [ ! -s "$work/ports" ]; then
    cat "$work/server.log" >&2
    fail "the installed stand-in server did not start"
else
    read -r ftp_port http_port < <(sed 's/ftp=\([0-9]*\) http=\([0-9]*\)/\1 \2/' "$work/ports")
    if ! REGSVR_HTTP="http://127.0.0.1:$http_port" REGSVR_FTP="ftp://127.0.0.1:$ftp_port" \
        REGSVR_REQUESTS="$work/requests.jsonl" /usr/bin/regwizard-run "$scenario" \
        >"$work/run.log" 2>&1; then
        cat "$work/run.log" >&2
        fail "the installed regwizard-run failed $(basename "$scenario")"
    fi
    grep -q 'setvariables.cfm' "$work/requests.jsonl" 2>/dev/null ||
        fail "the installed server saw no sign-up"
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=
fi

echo "== apt-get purge"
apt-get remove --purge -y regwizard >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; exit 1; }
dpkg -s regwizard >/dev/null 2>&1 && fail "regwizard is still installed"
while IFS= read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after removal"; fi
done <"$work/files"

[ "$failed" -eq 0 ] && echo "test-package: $(basename "$deb") passed"
exit "$failed"
