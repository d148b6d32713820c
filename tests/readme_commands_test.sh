#!/usr/bin/env bash
# Runs every command shown in the README's code blocks, as a new user would
# on a headless machine: in a fresh copy of the tree (no build folder),
# without DISPLAY. Commands that take long run in the short form the README
# documents; the apply benchmark, which is quick, runs in full and holds its
# target. What the test command runs in full itself (the unit tests, the
# oracle) is only started here: the copy shows that the commands work. It fails when a command fails, or when the README shows a command
# this list does not know (or this list one the README lost).
#   tests/readme_commands_test.sh [FOLDER]   (default build/readme-clone)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
clone=${1:-build/readme-clone}
pkg='"sample/Addon Scenery/Tolvane"'

# README command | what this test runs for it | the exit codes that are a success
steps=(
  "bash tools/setup.sh && bash tools/demo.sh|(the first setup command: it runs the tests)|"
  "bash tools/setup.sh && bash tools/test.sh|(the second setup command: it runs the tests)|"
  "bash tools/check.sh|(the test command runs it before this copy)|"
  "cmake --preset native && cmake --build --preset native && ctest --preset native|cmake --preset native && cmake --build --preset native && ctest --preset native -N|0"
  "build/native/tools/make_sample_install sample|=|0"
  "(the sample install it laid out)|test -f sample/scenery.cfg -a -d \"sample/Addon Scenery/Tolvane/Tolvane - Lower Priority/Cache\"|0"
  "(the demo, without its setup, lays out sample/ again with the program)|bash tools/demo.sh|0"
  'tools/wine.sh "sample/Addon Scenery/Tolvane/TolvaneConfig.exe" -u|=|0'
  "(the restore line's effect)|check_restored|0"
  "build/native/cli/tolvane --package $pkg status|=|0 1"
  "build/native/cli/tolvane --package $pkg apply --set UT=1 --dry-run|=|0"
  "build/native/cli/tolvane --package $pkg apply --set UT=1 --set Boats=0|=|0"
  "build/native/cli/tolvane --package $pkg scan --dry-run --json|=|0"
  "build/native/cli/tolvane --package $pkg restore|=|0"
  "bash tools/release.sh|=|0"
  "bash tools/check_exe.sh build/mingw/TolvaneConfig.exe|=|0"
  "cmake --preset art && cmake --build --preset art && build/art/art/make_art res|=|0"
  "(the picture and the icon drawn again are the committed ones)|git_unchanged res|0"
  "bash bench/run_apply_bench.sh|=|0"
  "bash bench/run_ini_bench.sh|bash bench/run_ini_bench.sh --short|0"
  "bash bench/run_scan_bench.sh|bash bench/run_scan_bench.sh --short|0"
  "bash bench/run_wine_bench.sh|bash bench/run_wine_bench.sh --short|0"
  "bash fuzz/run.sh 600|bash fuzz/run.sh 10|0"
  "bash tools/oracle.sh 120|(the test command runs it; here --case 1 shows that it starts)|"
  "bash tools/oracle.sh --case CASE|bash tools/oracle.sh --case 1|0"
  "bash tools/test32.sh|(the second setup command runs it where 32-bit programs cannot start)|"
)

# Every line of every indented code block (fenced blocks hold pictures).
readme_commands() {
  awk '/^```/ {fenced = !fenced; next}
       !fenced && /^    [^ ]/ && (previous ~ /^ *$/ || inblock) {print substr($0, 5); inblock = 1; previous = $0; next}
       {inblock = 0; previous = $0}' README.md
}

status=0
known=$(printf '%s\n' "${steps[@]}" | cut -d'|' -f1)
while read -r command; do
  grep -qxF -- "$command" <<<"$known" || { echo "README command not in the test's list: $command"; status=1; }
done < <(readme_commands)
while read -r command; do
  [[ "$command" == "("* ]] && continue
  readme_commands | grep -qxF -- "$command" || { echo "not in the README any more: $command"; status=1; }
done <<<"$known"
[ "$status" -eq 0 ] || exit 1

rm -rf "$clone"
mkdir -p "$clone"
git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$clone"
cd "$clone"
unset DISPLAY WINEPREFIX
log=$(mktemp)
trap 'rm -f "$log"' EXIT

check_restored() {  # the demo's scan gave them .xxx names; -u gives the .bgl back
  local name
  for name in Drey_Facility_CQP8 Drey_Marrowby_Brenmoor_VTPL Drey_Marrowby_Brenmoor_LWM2; do
    [ -f "sample/Addon Scenery/Drey Marrowby/scenery/$name.bgl" ] &&
      [ -f "sample/Extra Scenery/Brenmoor/Scenery/$name.bgl" ] &&
      [ ! -e "sample/Addon Scenery/Drey Marrowby/scenery/$name.xxx" ] || return 1
  done
}
git_unchanged() { cmp "$1/Tolvane.bmp" "$root/$1/Tolvane.bmp" && cmp "$1/TolvaneConfig.ico" "$root/$1/TolvaneConfig.ico"; }

for step in "${steps[@]}"; do
  IFS='|' read -r shown run codes <<<"$step"
  [ -n "$codes" ] || continue
  [ "$run" = "=" ] && run=$shown
  start=$SECONDS
  code=0
  eval "$run" </dev/null >"$log" 2>&1 || code=$?
  if [[ " $codes " == *" $code "* ]]; then
    echo "ok ($((SECONDS - start)) s, exit $code): $run"
  else
    echo "FAILED (exit $code): $run"
    tail -30 "$log"
    exit 1
  fi
done
