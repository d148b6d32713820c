#!/usr/bin/env bash
# tolvane.exe, the Windows build of the command-line program, under Wine on
# the sample install: one status (exit code 1: an apply and a scan would
# change things) and one apply, whose settings file and log are checked.
#   tests/cli_wine_test.sh build/mingw/cli/tolvane.exe
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
exe=$1
fail() { echo "tolvane.exe test: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/native/tools/make_sample_install "$work/FS9" >/dev/null
package="Z:$(tr / '\\' <<<"$work/FS9/Addon Scenery/Tolvane")"

code=0
tools/wine.sh "$exe" --package "$package" status >"$work/status.txt" 2>&1 || code=$?
[ "$code" = 1 ] || { cat "$work/status.txt"; fail "status gave exit code $code, not 1"; }
grep -q "^  7 areas, 6 active" "$work/status.txt" || fail "status did not read the library"

tools/wine.sh "$exe" --package "$package" apply --set UT=1 --set Boats=0 >"$work/apply.txt" 2>&1 ||
  { cat "$work/apply.txt"; fail "apply failed"; }
ini=$(tr -d '\r' <"$work/FS9/Addon Scenery/Tolvane/TolvaneConfig.ini" | tr '\n' ' ')
[ "$ini" = "[UTCAN] UT=1 GolfCourses=0 Parks=0 MinorRoads=0 MajorRoads=1 Cemetaries=0 Railroads=0  [AI] Helos=1 Ships=1 Floats=1 Boats=0  " ] ||
  fail "the settings file is not the choices: $ini"
log="$work/FS9/Addon Scenery/Tolvane/log.txt"
[ "$(grep -c $'\r$' "$log")" = 21 ] || fail "log.txt does not hold 21 CR LF lines"
grep -q "^Deleted file .*Traffic_marrowby_boats.bgl"$'\r'"$" "$log" ||
  fail "log.txt lacks the boats file's delete"
echo "tolvane.exe test: status and apply under Wine"
