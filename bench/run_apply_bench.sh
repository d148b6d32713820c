#!/usr/bin/env bash
# Builds the native benchmarks and runs the apply benchmark.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
build_preset native >/dev/null
build/native/bench/apply_bench "$@"
