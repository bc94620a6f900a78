#!/usr/bin/env bash
# Plays a scenario that must stop with a scenario error: exit status 2 and the
# transcript's ERROR line as the scenario's "# error: TEXT" comment gives it.
# Usage: expect-error.sh RUNNER [RUNNER-OPTIONS...] SCENARIO
set -uo pipefail

scenario=${!#}
expected=$(sed -n 's/^# error: //p' "$scenario")
if [ -z "$expected" ]; then
    echo "expect-error: $scenario names no '# error:' line" >&2
    exit 1
fi
transcript=$("$@")
status=$?
printf '%s\n' "$transcript"
if [ "$status" -ne 2 ]; then
    echo "expect-error: exit status $status, expected 2" >&2
    exit 1
fi
if ! grep -qxF "ERROR $expected" <<<"$transcript"; then
    echo "expect-error: no line 'ERROR $expected'" >&2
    exit 1
fi
