#!/usr/bin/env bash
# The 32-bit lane: the shipped bytes and the 32-bit tests, run. Where this
# host's Wine starts 32-bit programs they run here; elsewhere in the i386
# guest of tools/guest32.sh, under full-system emulation. Runs the unit
# tests (but the long sweeps that the native and 64-bit lanes already
# make: kLongSweeps), every end-to-end test, the shipped TolvaneConfig.exe's
# start, apply and restore on the default prefix and on one that reports
# Windows XP, and tolvane.exe's status and apply. Screenshots go to
# build/mingw-tests/artifacts. Exit code 1 on any failure.
#   tools/test32.sh [--guest]   --guest: in the guest even where this host
#                               starts 32-bit programs
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

# The sweeps (every combination of settings on every state; every
# allocation, in fault_tests): the same code and paths as on the other
# lanes, and long under emulation.
long_sweeps="PreviewTest.*"
flow="DialogTest.FirstStart*:DialogTest.EnterApplies*:DialogTest.RestoreMode*"

build_preset mingw >/dev/null
cmake --preset mingw-tests >/dev/null
cmake --build --preset mingw-tests --target unit_tests e2e_tests >/dev/null
build_preset native >/dev/null  # the sample install's maker

job=$(mktemp -d)
trap 'rm -rf "$job"' EXIT
mkdir -p "$job/bin/tests" "$job/bin/shipped" "$job/artifacts"
cp build/mingw-tests/tests/unit_tests.exe build/mingw-tests/tests/e2e/e2e_tests.exe \
  build/mingw-tests/TolvaneConfig.exe "$job/bin/tests/"
cp build/mingw/TolvaneConfig.exe build/mingw/cli/tolvane.exe "$job/bin/shipped/"
build/native/tools/make_sample_install "$job/FS9" >/dev/null

# The job, in the guest or here: $lane is the job's folder.
cat >"$job/job.sh" <<EOF
set -u
lane=\${LANE:-/job}
work=\${WORK:-/tmp/lane}
status=0
rm -rf "\$work" && mkdir -p "\$work" && cp -r "\$lane/bin" "\$lane/FS9" "\$work/"
winpath() { printf 'Z:%s' "\$(printf '%s' "\$1" | tr / '\\\\\\\\')"; }
# The driver's waits, longer under emulation (this host: 1). No installer
# of Wine's own (Mono, Gecko) may open a window that takes the focus.
export TOLVANE_TIMEOUT_SCALE=\${TOLVANE_TIMEOUT_SCALE:-4}
export WINEDLLOVERRIDES="\${WINEDLLOVERRIDES:-mscoree,mshtml=}"
step() { echo "== \$*"; }
step "32-bit unit tests (but $long_sweeps)"
wine "\$work/bin/tests/unit_tests.exe" --gtest_brief=1 --gtest_filter="-$long_sweeps" || status=1
step "32-bit end-to-end tests"
TOLVANE_PROGRAM="\$work/bin/tests/TolvaneConfig.exe" TOLVANE_ARTIFACTS="\$lane/artifacts" \\
  wine "\$work/bin/tests/e2e_tests.exe" --gtest_brief=1 || status=1
for version in default winxp; do
  step "the shipped TolvaneConfig.exe: start, apply and restore (\$version prefix)"
  if [ \$version = winxp ]; then
    export WINEPREFIX=\${XP_PREFIX:-/root/.wine-xp} TOLVANE_WINE_VERSION=winxp
  fi
  TOLVANE_PROGRAM="\$work/bin/shipped/TolvaneConfig.exe" TOLVANE_ARTIFACTS="\$lane/artifacts" \\
    wine "\$work/bin/tests/e2e_tests.exe" --gtest_brief=1 --gtest_filter="$flow" || status=1
done
unset WINEPREFIX TOLVANE_WINE_VERSION
step "the shipped tolvane.exe: status and apply"
package="\$(winpath "\$work/FS9/Addon Scenery/Tolvane")"
tolvane() {  # EXPECTED-CODE ARGS...: on the package; the output shown if the code differs
  local expected=\$1 code=0
  shift
  wine "\$work/bin/shipped/tolvane.exe" --package "\$package" "\$@" >"\$work/out.txt" 2>&1 || code=\$?
  echo "\$1: exit code \$code (\$expected expected)"
  [ \$code = \$expected ] || { cat "\$work/out.txt"; status=1; }
}
tolvane 1 status
tolvane 0 apply --set UT=1 --set Boats=0
cp "\$work/FS9/Addon Scenery/Tolvane/TolvaneConfig.ini" "\$work/FS9/Addon Scenery/Tolvane/log.txt" "\$lane/"
exit \$status
EOF

started=$SECONDS
code=0
if [ "$(wine_preset)" = mingw ] && [ "${1:-}" != --guest ]; then
  echo "== 32-bit lane: this host's Wine starts 32-bit programs"
  xp="$root/build/wineprefix-winxp32"
  if [ ! -f "$xp/system.reg" ]; then
    WINEPREFIX="$xp" WINEARCH=win32 wineboot -i >/dev/null 2>&1
    WINEPREFIX="$xp" winecfg -v winxp >/dev/null 2>&1
  fi
  LANE="$job" WORK="$job/work" XP_PREFIX="$xp" TOLVANE_TIMEOUT_SCALE=1 \
    tools/headless.sh bash "$job/job.sh" \
    >"$job/output.txt" 2>&1 || code=$?
else
  echo "== 32-bit lane: in the i386 guest ($(bash tools/guest32.sh path))"
  bash tools/guest32.sh build
  bash tools/guest32.sh run "$job" || code=$?
fi
grep -E '^(==|\[  (PASSED|FAILED) |status:|apply:)|tests? (passed|failed)|FAILED TEST' "$job/output.txt" || true
[ "$code" = 0 ] || { echo "---- the lane's output, last lines"; tail -40 "$job/output.txt"; }

# What the shipped tolvane.exe wrote: the choices, and one log line per action.
ini=$(tr -d '\r' <"$job/TolvaneConfig.ini" 2>/dev/null | tr '\n' ' ')
[ "$ini" = "[UTCAN] UT=1 GolfCourses=0 Parks=0 MinorRoads=0 MajorRoads=1 Cemetaries=0 Railroads=0  [AI] Helos=1 Ships=1 Floats=1 Boats=0  " ] ||
  { echo "32-bit lane: the settings file is not the choices: $ini"; code=1; }
[ "$(grep -c $'\r$' "$job/log.txt" 2>/dev/null)" = 21 ] ||
  { echo "32-bit lane: log.txt does not hold 21 CR LF lines"; code=1; }

mkdir -p build/mingw-tests/artifacts
for shot in "$job"/artifacts/*.bmp; do
  [ -e "$shot" ] && /usr/bin/convert "$shot" "build/mingw-tests/artifacts/$(basename "${shot%.bmp}").png"
done
cp "$job/output.txt" build/lane32-output.txt
echo "== 32-bit lane: $([ $code = 0 ] && echo passed || echo FAILED) in $((SECONDS - started)) s (output in build/lane32-output.txt)"
exit $code
