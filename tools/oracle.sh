#!/usr/bin/env bash
# Wine as the oracle for the native tolvane: random installs, tolvane.exe
# and TolvaneConfig.exe under Wine against the native program on the same
# trees (tests/oracle.py).
#   tools/oracle.sh SECONDS [SEED]   random cases for SECONDS (a new seed each run)
#   tools/oracle.sh --case SEED      one case again, its tree kept in build/oracle/failed
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"
build_preset native >/dev/null
preset=$(wine_preset)
build_preset "$preset" >/dev/null
export TOLVANE_WINDOWS_BUILD="$root/build/$preset"
# A prefix whose ANSI code page is 932 (Japanese): Wine takes the code page
# from the locale it starts in, and writes it into the new prefix.
if [ ! -f build/wineprefix-932/system.reg ]; then
  LANG=ja_JP.UTF-8 LC_CTYPE=ja_JP.UTF-8 WINEPREFIX="$root/build/wineprefix-932" tools/wine.sh \
    "build/$preset/cli/tolvane.exe" --help >/dev/null
fi
if [ "${1:-}" = --case ]; then
  exec tools/headless.sh python3 tests/oracle.py --case "$2"
fi
exec tools/headless.sh python3 tests/oracle.py --seconds "${1:-120}" ${2:+--seed "$2"}
