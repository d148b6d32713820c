#!/usr/bin/env bash
# Sets everything up and runs every test: formatting, native unit tests,
# the same under AddressSanitizer and UndefinedBehaviorSanitizer, a short
# fuzzing run, the shipped program's checks, and the unit and end-to-end
# tests under Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

bash tools/setup.sh

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== native unit tests"
build_preset native
ctest --preset native

echo "== native unit tests under ASan and UBSan"
build_preset native-asan
ctest --preset native-asan

echo "== fuzzing the INI round trip briefly"
bash fuzz/run.sh 30

echo "== the shipped program (32-bit Windows)"
build_preset mingw
bash tools/check_exe.sh build/mingw/TolvaneConfig.exe

tests_preset="$(wine_preset)-tests"
if [ "$tests_preset" != mingw-tests ]; then
  echo "== 32-bit tests: built only, this host's Wine cannot start 32-bit programs"
  build_preset mingw-tests >/dev/null
fi
echo "== unit and end-to-end tests under Wine ($tests_preset)"
build_preset "$tests_preset"
ctest --preset "$tests_preset"
