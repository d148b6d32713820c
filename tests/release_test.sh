#!/usr/bin/env bash
# The release zip as a user gets it: tools/release.sh twice gives the same
# bytes; the zip holds exactly its entries, their sums check, ReadMe.txt
# has CR LF line ends; and the unpacked program starts under Wine on the
# sample install, applies (Ultimate Terrain ticked) and writes log.txt.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
fail() { echo "release test: $*" >&2; exit 1; }

bash tools/release.sh >/dev/null
zip=$(ls dist/TolvaneConfig-*-win32.zip)
first=$(sha256sum <"$zip")
bash tools/release.sh >/dev/null
[ "$(sha256sum <"$zip")" = "$first" ] || fail "two runs of release.sh gave different zips"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$zip" "$work/unpacked" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    names = [entry.filename for entry in archive.infolist()]
    expected = sorted(["ReadMe.txt", "SHA256SUMS", "TolvaneConfig.exe", "tolvane.exe"])
    if names != expected:
        sys.exit(f"entries {names}, expected {expected}")
    for entry in archive.infolist():
        if (entry.date_time != (1980, 1, 1, 0, 0, 0) or entry.extra
                or entry.external_attr != 0o100644 << 16):
            sys.exit(f"{entry.filename}: time, extra field or attributes are not fixed")
    archive.extractall(sys.argv[2])
PY
(cd "$work/unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "the sums do not check"
[ "$(grep -c $'\r$' "$work/unpacked/ReadMe.txt")" = "$(wc -l <"$work/unpacked/ReadMe.txt")" ] ||
  fail "ReadMe.txt has lines without CR LF"

if [ "$(wine_preset)" != mingw ]; then
  echo "release test: this host cannot start 32-bit programs; the unpacked program was not run"
  exit 0
fi
build_preset native >/dev/null
build/native/tools/make_sample_install "$work/FS9" --program "$work/unpacked/TolvaneConfig.exe" \
  >/dev/null
package="$work/FS9/Addon Scenery/Tolvane"
windows() { echo "Z:$(tr / '\\' <<<"$1")"; }
tools/headless.sh tools/wine.sh build/mingw/tools/demo_driver.exe \
  "$(windows "$package/TolvaneConfig.exe")" "$(windows "$work")" >/dev/null 2>&1 ||
  fail "the unpacked program did not start, apply and end"
# Ultimate Terrain on, the rest as at a first start: the major roads and the
# exclusion file are copied, the masks were never there, all traffic is on.
pkg=$(windows "$package/")
copied() { printf 'Copied file %s\\Cache\\%s to %s\\Scenery\\%s\r\n' "$pkg$1" "$2" "$pkg$1" "$2"; }
expected=$(
  for _ in 1 2 3 4 5 6 7 8 9; do printf 'Delete file failed\r\n'; done
  for tile in 120x117 120x118 121x117; do
    copied "Tolvane - Higher Priority" "1_UT_RM915140-4077_Tvl+_$tile.bgl"
  done
  copied "Tolvane - Lower Priority" "0_excl_UT-layers_6+8_120-121x117-118.bgl"
  printf 'Delete file failed\r\nDelete file failed\r\n'
  for name in Traffic_Harrel_Point_additional.bgl Traffic_Harrel_Point.bgl \
    Traffic_marrowby_boats.bgl Traffic_marrowby_boats.bgl Traffic_Tolvane1_seaplane.bgl \
    Traffic_Tolvane1_heli.bgl; do
    copied "Tolvane - Lower Priority" "$name"
  done
  echo .
)
[ "$(cat "$package/log.txt"; echo .)" = "$expected" ] || fail "log.txt is not the apply's report"
echo "release test: $zip ($(stat -c %s "$zip") bytes) unpacks, checks and runs"
