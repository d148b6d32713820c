#!/usr/bin/env bash
# The whole tier, which CI runs: everything tools/check.sh checks
# (formatting, layering, shellcheck, the native unit tests beside a
# simulator they must not see, as root and as nobody at once, and under
# ASan and UBSan), then the picture and the icon drawn again, the shipped
# programs' imports, every command of the README in a fresh copy of the
# tree, the release zip, the 32-bit lane where this host cannot start
# 32-bit programs, the unit and end-to-end tests under Wine, the shipped
# flows on two prefixes, tolvane.exe's own checks and the Wine oracle. It
# prints each stage's time and the total.
set -euo pipefail
mkdir -p "$(dirname "${BASH_SOURCE[0]}")/../build"
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
isolate_processes "$0" "$@"
cd "$root"
source tools/stages.sh

stage "setup"
bash tools/setup.sh

stage "the fast tier (tools/check.sh)"
bash tools/check.sh

stage "the picture and the icon, drawn again, must equal res/"
build_preset art >/dev/null
rm -rf build/art/drawn
build/art/art/make_art build/art/drawn
cmp res/Tolvane.bmp build/art/drawn/Tolvane.bmp
cmp res/TolvaneConfig.ico build/art/drawn/TolvaneConfig.ico

stage "the shipped programs (32-bit Windows): XP imports"
build_preset mingw
# Their 64-bit twins, which Wine runs where 32-bit code cannot, are built
# here too: the README test's demo then finds them compiled.
[ "$(wine_preset)" = mingw ] || build_preset mingw64 >/dev/null
bash tools/check_exe.sh build/mingw/TolvaneConfig.exe
bash tools/check_exe.sh build/mingw/cli/tolvane.exe --console

# Among them the benchmarks and the fuzz targets, briefly.
stage "the README's commands, in a fresh copy of the tree without a display"
bash tests/readme_commands_test.sh build/readme-clone
stage "the same program bytes from a build in another folder (the copy's)"
sha256sum build/mingw/TolvaneConfig.exe build/readme-clone/build/mingw/TolvaneConfig.exe
[ "$(sha256sum <build/mingw/TolvaneConfig.exe)" = \
  "$(sha256sum <build/readme-clone/build/mingw/TolvaneConfig.exe)" ]
# A wineserver outlives its programs by a few seconds, then writes its prefix.
for prefix in build/readme-clone/build/wineprefix*/; do
  [ -d "$prefix" ] && WINEPREFIX="$root/$prefix" wineserver -w 2>/dev/null || true
done
rm -rf build/readme-clone

stage "the release zip"
bash tests/release_test.sh

status=0
tests_preset="$(wine_preset)-tests"
if [ "$tests_preset" != mingw-tests ]; then
  # This host's Wine cannot start 32-bit programs: an i386 guest does.
  stage "the 32-bit lane"
  bash tools/test32.sh || status=1
fi
stage "unit and end-to-end tests under Wine ($tests_preset)"
cmake --preset "$tests_preset" >/dev/null
cmake --build --preset "$tests_preset" --target unit_tests fault_tests e2e_tests
# The end-to-end tests need a display: a virtual one. Their screenshots
# are kept in build/$tests_preset/artifacts. A test program that fails runs
# once more: under 32-bit Wine a click on the dialog is now and then lost
# (the master switch's, seen about once in four runs); a second failure is one.
rm -rf "build/$tests_preset/artifacts"
tools/headless.sh ctest --preset "$tests_preset" --repeat until-pass:2 | tee build/wine-tests.log ||
  status=1
for shot in "build/$tests_preset"/artifacts/*.bmp; do
  [ -e "$shot" ] && /usr/bin/convert "$shot" "${shot%.bmp}.png" && rm "$shot"
done
ls "build/$tests_preset"/artifacts 2>/dev/null | sed 's/^/artifact: /'

# The start, apply and restore of the program as it ships, on the default
# prefix and on one that reports Windows XP.
if [ "$tests_preset" = mingw-tests ]; then
  shipped=build/mingw/TolvaneConfig.exe xp_arch=win32 xp_version=winxp
else
  shipped=build/mingw64/TolvaneConfig.exe xp_arch=win64 xp_version=winxp64
fi
flow="DialogTest.FirstStart*:DialogTest.EnterApplies*:DialogTest.RestoreMode*"
run_flow() {  # PREFIX [VARIABLE=VALUE...]: the flow with the shipped program
  local prefix=$1
  shift
  stage "$shipped: start, apply and restore on $(basename "$prefix")"
  env WINEPREFIX="$prefix" "$@" TOLVANE_PROGRAM="$root/$shipped" \
    TOLVANE_ARTIFACTS="$root/build/$tests_preset/artifacts" \
    tools/headless.sh tools/wine.sh \
    "build/$tests_preset/tests/e2e/e2e_tests.exe" --gtest_filter="$flow" >build/flow.log 2>&1 ||
    { cat build/flow.log; status=1; }
  grep -E '^\[  (PASSED|FAILED)' build/flow.log
}
run_flow "$WINEPREFIX"
stage "${shipped%/*}/cli/tolvane.exe: status and apply"
bash tests/cli_wine_test.sh "${shipped%/*}/cli/tolvane.exe" "$shipped" "${shipped%/*}/tools/demo_driver.exe" || status=1
run_flow "$root/build/wineprefix-$xp_version" WINEARCH="$xp_arch" TOLVANE_WINE_VERSION="$xp_version"

# Wine as the oracle: random installs, the Windows programs under Wine
# against the native tolvane, for about two minutes with a new seed.
stage "the native tolvane against tolvane.exe and TolvaneConfig.exe -u under Wine"
bash tools/oracle.sh 120 || status=1

stages_done
echo "== summary: native, native under sanitizers, under Wine"
grep -h 'tests passed' build/native-tests.log build/native-asan-tests.log build/wine-tests.log
exit $status
