#!/usr/bin/env bash
# Builds the shipped program and writes the release zip,
#   dist/TolvaneConfig-<version>-win32.zip
# holding TolvaneConfig.exe, the command-line program tolvane.exe,
# ReadMe.txt (CR LF line ends) and SHA256SUMS.
# The version comes from res/version.h, as the version block's does. The
# zip is the same bytes at every run: fixed entry times, sorted entries, no
# extra attributes.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
cd "$root"

build_preset mingw >/dev/null
version=$(sed -n 's/^#define TOLVANE_VERSION \([0-9]*\), *\([0-9]*\), *\([0-9]*\), *[0-9]*$/\1.\2.\3/p' \
  res/version.h)
[ -n "$version" ] || { echo "release: no version in res/version.h" >&2; exit 1; }

stage=build/release
rm -rf "$stage"
mkdir -p "$stage" dist
cp build/mingw/TolvaneConfig.exe build/mingw/cli/tolvane.exe "$stage/"
sed 's/$/\r/' docs/ReadMe.txt >"$stage/ReadMe.txt"
(cd "$stage" && sha256sum ReadMe.txt TolvaneConfig.exe tolvane.exe >SHA256SUMS)

zip="dist/TolvaneConfig-$version-win32.zip"
python3 - "$stage" "$zip" <<'PY'
import os, sys, zipfile
stage, target = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target + ".part", "w") as archive:
    for name in sorted(os.listdir(stage)):
        entry = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 3  # Unix: a plain file, rw-r--r--, no owner
        entry.external_attr = 0o100644 << 16
        with open(os.path.join(stage, name), "rb") as source:
            archive.writestr(entry, source.read(), compresslevel=9)
os.replace(target + ".part", target)
PY
echo "$zip: $(stat -c %s "$zip") bytes; TolvaneConfig.exe: $(stat -c %s "$stage/TolvaneConfig.exe") bytes"
