#!/usr/bin/env bash
# The fast tier, to run while working: a few minutes with a warm build, no
# Wine, nothing installed.
#   formatting, the layering, shellcheck of every script;
#   the native build and its unit tests, beside a stand-in of the simulator
#   (a copy of sleep named fs9.exe) that no test may see; where this runs
#   as root, the same tests at the same time as the user nobody, the cases
#   that need the superuser skipped and named;
#   the same unit tests under AddressSanitizer and UndefinedBehaviorSanitizer.
# It prints each stage's time. What it needs and does not find, it names.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
isolate_processes "$0" "$@"
cd "$root"

missing=()
need() {  # COMMAND PACKAGE
  command -v "$1" >/dev/null 2>&1 || missing+=("$2")
}
need cmake cmake
need ninja ninja-build
need g++ g++
need clang-format clang-format
need shellcheck shellcheck
need strace strace
need setpriv util-linux
need python3 python3
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -d /usr/include/nlohmann ] || missing+=(nlohmann-json3-dev)
[ -d /usr/include/CLI ] || missing+=(libcli11-dev)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "check.sh: missing ${missing[*]}: apt-get install ${missing[*]} (or, as root, bash tools/setup.sh)" >&2
  exit 2
fi

source tools/stages.sh

stage "formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

stage "layering"
bash tools/check_layers.sh

stage "shellcheck"
git ls-files '*.sh' .ci/run | xargs shellcheck -x -P SCRIPTDIR -S warning

stage "native build"
build_preset native >/dev/null

stage "native unit tests, beside a simulator they must not see"
bash tests/beside_a_simulator.sh build/native native

stage "unit tests under ASan and UBSan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan --target unit_tests fault_tests >/dev/null
ctest --preset native-asan -j2 --output-on-failure >build/native-asan-tests.log ||
  { tail -40 build/native-asan-tests.log; exit 1; }
grep 'tests passed' build/native-asan-tests.log

stages_done
