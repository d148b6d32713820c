#!/usr/bin/env bash
# Builds the fuzz targets and runs each for the given seconds (default 30)
# on its corpus; new inputs go to a scratch folder, not the repository.
#   fuzz/run.sh [SECONDS]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
seconds=${1:-30}
targets=(ini_roundtrip conflict_scan whole_run)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/%/_fuzzer}" >/dev/null
for target in "${targets[@]}"; do
  scratch=$(mktemp -d)
  status=0
  "build/fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    "$scratch" "fuzz/corpus/$target" >"$scratch.log" 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|ERROR|round trip|broke the|SUMMARY' "$scratch.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$scratch.log"
    echo "fuzz target $target failed"
    exit 1
  fi
  rm -rf "$scratch" "$scratch.log"
done
