#!/usr/bin/env bash
# Runs fuzz targets for a while each, over a scratch copy of their seed corpus,
# and fails when any of them finds something.
#   tools/run-fuzz.sh BUILD_DIR SECONDS [TARGET...]   (default: every target)
# What a target finds is kept under BUILD_DIR/fuzz-findings/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_server_reply fuzz_access_numbers fuzz_profile_text fuzz_registry_text
           fuzz_codepage fuzz_scenario)
fi

# Long inputs where a reader must stay linear, so that quadratic work shows as a timeout.
max_len() {
  case $1 in
    fuzz_server_reply) echo 65536 ;;
    fuzz_access_numbers|fuzz_codepage) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  scratch=$(mktemp -d)
  findings="$build/fuzz-findings/$target"
  mkdir -p "$findings"
  cp -R "tests/fuzz/corpus/$target/." "$scratch/"
  echo "== $target: ${seconds}s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
       -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
       "$scratch" 2>"$findings/log"; then
    failed+=("$target")
    tail -n 40 "$findings/log" >&2
  fi
  grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$findings/log" || true
  rm -rf "$scratch"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "run-fuzz: found something: ${failed[*]} (inputs in $build/fuzz-findings/)" >&2
  exit 1
fi
