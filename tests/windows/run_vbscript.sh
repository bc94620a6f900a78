#!/usr/bin/env bash
# Registers RegWizard.dll, runs a VBScript with wine's cscript, unregisters
# the DLL, and passes when the script's last line is EXPECTED.
#   run_vbscript.sh DLL SCRIPT EXPECTED
set -uo pipefail
# wine maps the root as drive Z:.
dll="Z:${1//\//\\}"
script="Z:${2//\//\\}"
run=$(cd "$(dirname "$0")/../.." && pwd)/tools/wine-run.sh
"$run" regsvr32 /s "$dll" || { echo "regsvr32 /s failed"; exit 1; }
output=$("$run" cscript //nologo "$script" 2>&1 | tr -d '\r')
"$run" regsvr32 /u /s "$dll"
echo "$output"
[[ "$(tail -n 1 <<<"$output")" == "$3" ]]
