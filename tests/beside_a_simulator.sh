#!/usr/bin/env bash
# The native unit tests as they must run on any machine: beside a simulator
# that another program started (a copy of sleep named fs9.exe, beside which
# tolvane refuses to change files), which none of the tests may see. Where
# this runs as root, a second complete run goes at the same time as the
# user nobody, on a copy of the programs that user may read: the cases
# that need the superuser skip there, and are named.
#   tests/beside_a_simulator.sh BUILD-FOLDER CTEST-PRESET
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
build=$1
preset=$2
fail() { echo "beside a simulator: $*" >&2; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
cp /bin/sleep "$work/fs9.exe"
"$work/fs9.exe" 3600 &
simulator=$!
trap 'kill $simulator 2>/dev/null || true; rm -rf "$work"' EXIT
"$build/tools/make_sample_install" "$work/FS9" >/dev/null
if "$build/cli/tolvane" --package "$work/FS9/Addon Scenery/Tolvane" scan --dry-run >/dev/null 2>&1; then
  fail "tolvane does not see the stand-in: this check would prove nothing"
fi

nobody=""
if [ "$(id -u)" = 0 ]; then
  mkdir -m 755 "$work/copy"
  cp "$build/tests/unit_tests" "$build/cli/tolvane" "$work/copy/"
  (cd "$work" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$work" TOLVANE_NATIVE_PROGRAM="$work/copy/tolvane" \
    "$work/copy/unit_tests") >"$work/nobody.log" 2>&1 &
  nobody=$!
fi
status=0
ctest --preset "$preset" --output-on-failure >"build/$preset-tests.log" 2>&1 || status=1
grep -E 'tests passed|FAILED|Failed' "build/$preset-tests.log" | tail -20
if [ -n "$nobody" ]; then
  if wait "$nobody"; then
    grep -E '^\[  (PASSED|SKIPPED) +\] [0-9]+ test' "$work/nobody.log" | sed 's/^/as nobody: /' || true
    grep -E '^\[  SKIPPED \] [A-Za-z]+\.[A-Za-z]+$' "$work/nobody.log" | sed 's/^.*\] /  skipped: /' || true
  else
    tail -40 "$work/nobody.log"
    echo "as nobody: the unit tests failed"
    status=1
  fi
fi
exit $status
