#!/usr/bin/env bash
# Builds the program, lays out the sample install in ./sample, runs the
# program there under Wine and prints the log it wrote.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

preset=$(wine_preset)
build_preset native >/dev/null
build_preset "$preset" >/dev/null
rm -rf sample
build/native/tools/make_sample_install sample --program "build/$preset/TolvaneConfig.exe" >/dev/null
package="sample/Addon Scenery/Tolvane"
echo "Running $package/TolvaneConfig.exe ($preset build) under Wine"
tools/wine.sh "$package/TolvaneConfig.exe"
echo "---- $package/log.txt"
cat "$package/log.txt"
