#!/usr/bin/env bash
# Times the shipped programs under Wine, where Linux users run them, next
# to floors built and run the same way (a Win32 program that only asks for
# the names, one that lists each folder, one that does nothing):
#   bench/run_wine_bench.sh [--short] [--baseline COMMIT]
# The 32-bit programs where this host's Wine starts them, else their 64-bit
# twins; it says which. In full: libraries of 0, 1,000 and 10,000 areas,
# best of five rounds, targets checked. --short: 0 and 1,000 areas, two
# rounds, the figures printed without a verdict (the test command's run).
# --baseline COMMIT: that commit's TolvaneConfig.exe, built in a worktree,
# runs in turn with this one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"

sizes=(0 1000 10000)
rounds=5
check=--check
baseline=
while [ $# -gt 0 ]; do
  case $1 in
    --short) sizes=(0 1000) rounds=2 check= ;;
    --baseline) baseline=$2 && shift ;;
    *) echo "usage: bench/run_wine_bench.sh [--short] [--baseline COMMIT]" >&2 && exit 2 ;;
  esac
  shift
done

preset=$(wine_preset)
build_preset native >/dev/null
build_preset "$preset" >/dev/null
if [ "$preset" = mingw ]; then
  echo "Wine benchmark: the 32-bit programs as they ship"
else
  echo "Wine benchmark: the 64-bit twins (this host's Wine cannot start 32-bit programs)"
fi

work=build/wine-bench
rm -rf "$work"
mkdir -p "$work"
args=()
if [ -n "$baseline" ]; then
  name=$(git rev-parse --short "$baseline")
  git worktree remove --force "$work-baseline" 2>/dev/null || true
  git worktree add --detach "$work-baseline" "$baseline" >/dev/null
  (cd "$work-baseline" && build_preset "$preset" >/dev/null)
  args+=(--baseline "$name")
fi
for areas in "${sizes[@]}"; do
  package=$(build/native/tools/make_sample_install "$work/$areas" \
    --program "build/$preset/TolvaneConfig.exe" --library "$areas")
  cp "build/$preset/cli/tolvane.exe" "$package/"
  if [ -n "$baseline" ]; then
    cp "$work-baseline/build/$preset/TolvaneConfig.exe" "$package/TolvaneConfig-$name.exe"
  fi
  host=$(cd "$work/$areas" && pwd)
  args+=("$areas=Z:${host//\//\\}")
done
status=0
tools/wine.sh "build/$preset/bench/wine_bench.exe" --rounds "$rounds" $check "${args[@]}" || status=$?
rm -rf "$work"
[ -z "$baseline" ] || git worktree remove --force "$work-baseline"
exit $status
