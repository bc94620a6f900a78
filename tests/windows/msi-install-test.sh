#!/usr/bin/env bash
# Installs regwizard-x64.msi in the run's wine prefix with msiexec, checks the
# installed files and "AppPath", creates the class by its ProgID with a
# program that knows nothing but the registry (progid_create), removes the
# package again and checks that none of its files, keys and values is left.
#   msi-install-test.sh MSI PROGID-CREATE
set -uo pipefail
run=$(cd "$(dirname "$0")/../.." && pwd)/tools/wine-run.sh
msi="Z:${1//\//\\}"
create=$2
folder="$WINEPREFIX/drive_c/Program Files/quorvale 4.02"
failed=0
fail() { echo "msi-install-test: $*"; failed=1; }
# reg query prints what it finds; only whether it found it matters here.
has_key() { "$run" reg query "$1" >/dev/null 2>&1; }
keys=('HKCR\RegWizard.RegEngine'
      'HKCR\CLSID\{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}'
      'HKCR\TypeLib\{D4E6CBD2-016B-11D3-AF9D-00A0245356AA}'
      'HKCR\Interface\{63A712EB-11F1-11D3-8739-00104B7930FA}'
      'HKCR\Interface\{63A712EC-11F1-11D3-8739-00104B7930FA}'
      'HKLM\SOFTWARE\quorvale')
files=(RegWizard.dll quorvale-host.exe agree.txt Registration.html conf/register.cfg)

for key in "${keys[@]}"; do
    has_key "$key" && fail "$key exists before the installation"
done

"$run" msiexec /i "$msi" /qn || fail "msiexec /i failed"
for file in "${files[@]}"; do
    [ -f "$folder/$file" ] || fail "$file is not installed"
done
for key in "${keys[@]}"; do
    has_key "$key" || fail "$key is not written"
done
app_path=$("$run" reg query 'HKLM\SOFTWARE\quorvale\1.0' /v AppPath 2>/dev/null | tr -d '\r' |
           sed -n 's/.*AppPath[[:space:]]*REG_SZ[[:space:]]*//p')
[ "$app_path" = 'C:\Program Files\quorvale 4.02\' ] || fail "AppPath is \"$app_path\""
server=$("$run" reg query 'HKCR\CLSID\{D4E6CBD4-016B-11D3-AF9D-00A0245356AA}\InprocServer32' \
         /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
[ "$server" = 'C:\Program Files\quorvale 4.02\RegWizard.dll' ] ||
    fail "the class's server is \"$server\""

output=$("$run" "$create" 2>&1 | tr -d '\r')
echo "$output"
[ "$(tail -n 1 <<<"$output")" = "progid_create: ok" ] || fail "the installed class cannot be created"

"$run" msiexec /x "$msi" /qn || fail "msiexec /x failed"
for key in "${keys[@]}"; do
    has_key "$key" && fail "$key is left after removal"
done
for file in "${files[@]}"; do
    [ -e "$folder/$file" ] && fail "$file is left after removal"
done
[ -e "$folder" ] && fail "the folder $folder is left after removal"
[ "$failed" -eq 0 ] && echo "msi-install-test: passed"
exit "$failed"
