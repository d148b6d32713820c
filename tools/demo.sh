#!/usr/bin/env bash
# Builds the program, lays out the sample install in ./sample and runs the
# program there under Wine. With a display the dialog opens for you; without
# one it runs on a virtual display (Xvfb), where a driver ticks the Ultimate
# Terrain master switch and applies, and screenshots go to sample/screenshots.
# Then the log and the settings file are printed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

preset=$(wine_preset)
build_preset native >/dev/null
build_preset "$preset" >/dev/null
rm -rf sample
build/native/tools/make_sample_install sample --program "build/$preset/TolvaneConfig.exe" >/dev/null
package="sample/Addon Scenery/Tolvane"
windows_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Opening $package/TolvaneConfig.exe ($preset build) under Wine on $DISPLAY"
  tools/wine.sh "$package/TolvaneConfig.exe"
else
  echo "No display: running $package/TolvaneConfig.exe ($preset build) under Wine on Xvfb"
  mkdir -p sample/screenshots
  tools/headless.sh tools/wine.sh "build/$preset/tools/demo_driver.exe" \
    "$(windows_path "$package/TolvaneConfig.exe")" "$(windows_path sample/screenshots)"
  for shot in sample/screenshots/*.bmp; do
    /usr/bin/convert "$shot" "${shot%.bmp}.png" && rm "$shot"
  done
  echo "Screenshots: $(ls sample/screenshots/*.png | tr '\n' ' ')"
fi
echo "---- $package/log.txt"
cat "$package/log.txt" 2>/dev/null || echo "(no log: the dialog was left without applying)"
echo "---- $package/TolvaneConfig.ini"
cat "$package/TolvaneConfig.ini" 2>/dev/null || echo "(no settings file)"
