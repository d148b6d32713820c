#!/usr/bin/env bash
# tolvane.exe, the Windows build of the command-line program, under Wine:
#  - on the sample install, one status (exit code 1: an apply and a scan
#    would change things) and one apply, whose settings file and log are
#    checked;
#  - copies laid out by hand in the prefix's VirtualStore, as Windows keeps
#    them, are reported (exit code 1), and without them nothing is; links
#    there to its own folders and to the root are not followed;
#  - on an install with leftovers of stopped runs, a Scenery folder that is
#    a link to its Cache folder and layer files in two cases, tolvane.exe
#    and the native tolvane apply alike (same JSON, same files, exit 1) and
#    lose no master;
#  - a native apply and tolvane.exe apply, each held by strace while it
#    writes a temporary file, beside the other's status and apply: neither
#    names the other's file as left behind nor removes it;
#  - while a copy of Wine's ping.exe named fs9.exe runs in the prefix,
#    tolvane.exe and the native tolvane (through the prefix) refuse apply,
#    scan and restore (exit 2, nothing changed) and status says so; with
#    --force they run, and once it has ended nothing is refused; started
#    as "fs9" from Wine's console, both still refuse;
#  - with the dialog program and its driver: on an install whose path and
#    library hold names outside ASCII (Windows-1252 in scenery.cfg, UTF-8 on
#    the host), the native tolvane, tolvane.exe and the dialog program make
#    the same renames and write the same log.txt and TolvaneConfig.ini.
#   tests/cli_wine_test.sh TOLVANE.EXE [TOLVANECONFIG.EXE DEMO_DRIVER.EXE]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
cd "$root"
exe=$1
dialog=${2:-}
driver=${3:-}
fail() { echo "tolvane.exe test: $*" >&2; exit 1; }
windows_path() { echo "Z:$(tr / '\\' <<<"$1")"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/native/tools/make_sample_install "$work/FS9" >/dev/null
package=$(windows_path "$work/FS9/Addon Scenery/Tolvane")

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

# The VirtualStore: Windows keeps a non-elevated legacy program's copies in
# %LOCALAPPDATA%\VirtualStore\ + the path without its drive.
tools/wine.sh "$exe" --package "$package" scan >/dev/null 2>&1 || fail "scan failed"
tools/wine.sh "$exe" --package "$package" status >/dev/null 2>&1 || fail "status is not clean"
store="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VirtualStore${work}/FS9"
mkdir -p "$store/Addon Scenery/Tolvane" "$store/Addon Scenery/Drey Marrowby/scenery"
printf '[UTCAN]\r\nUT=0\r\n' >"$store/Addon Scenery/Tolvane/TolvaneConfig.ini"
printf 'copy' >"$store/Addon Scenery/Drey Marrowby/scenery/Drey_Facility_CQP8.bgl"
code=0
tools/wine.sh "$exe" --package "$package" status >"$work/status.txt" 2>&1 || code=$?
[ "$code" = 1 ] || { cat "$work/status.txt"; fail "status with VirtualStore copies gave $code, not 1"; }
grep -q "keeps its settings here" "$work/status.txt" || fail "the settings copy is not reported"
grep -q "loads this conflicting file" "$work/status.txt" || fail "the .bgl copy is not reported"
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VirtualStore${work%/*}"
tools/wine.sh "$exe" --package "$package" status >"$work/status.txt" 2>&1 ||
  { cat "$work/status.txt"; fail "status without VirtualStore copies is not clean"; }
grep -q "no copy of a file this program reads or writes" "$work/status.txt" ||
  fail "status reports copies that are not there"
mkdir -p "$store/deeper"
printf 'x' >"$store/deeper/unrelated.txt"
ln -s . "$store/a"
ln -s . "$store/b"
ln -s / "$store/root"
timeout 120 tools/wine.sh "$exe" --package "$package" status --json >"$work/status.json" 2>&1 ||
  [ $? = 1 ] || fail "status with links in the VirtualStore did not end"
grep -q '"otherFiles": 1' "$work/status.json" || fail "links in the VirtualStore were counted"
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VirtualStore${work%/*}"
echo "tolvane.exe test: VirtualStore copies under Wine"

# What the system would make of the names, Wine decides for tolvane.exe;
# the native tolvane must make the same of them.
odd="$work/odd"
build/native/tools/make_sample_install "$odd/FS9" >/dev/null
odd_package="$odd/FS9/Addon Scenery/Tolvane"
rmdir "$odd_package/Tolvane - Lower Priority/Scenery"
ln -s Cache "$odd_package/Tolvane - Lower Priority/Scenery"
higher="$odd_package/Tolvane - Higher Priority/Scenery"
printf 'half' >"$higher/1_UT_PC915140_Tvl+.bgl.tmp"
printf '[UTCAN]' >"$odd_package/TolvaneConfig.ini.7.tmp"
printf 'a' >"$higher/1_UT_PK915140_Tvl+.bgl"
printf 'b' >"$higher/1_UT_PK915140_TVL+.BGL"
cp -a "$odd/FS9" "$work/odd-pristine"
odd_sums() { (cd "$odd/FS9" && find . -printf '%M %s %p %l\n' | sort); }
code=0
build/native/cli/tolvane --package "$odd_package" apply --json >"$work/odd-native.json" 2>/dev/null ||
  code=$?
[ "$code" = 1 ] || fail "the native apply gave exit code $code, not 1"
odd_sums >"$work/odd-native.list"
rm -rf "$odd/FS9" && cp -a "$work/odd-pristine" "$odd/FS9"
code=0
tools/wine.sh "$exe" --package "$(windows_path "$odd_package")" apply --json >"$work/odd-exe.json" 2>/dev/null ||
  code=$?
[ "$code" = 1 ] || fail "tolvane.exe apply gave exit code $code, not 1"
odd_sums >"$work/odd-exe.list"
diff "$work/odd-native.json" <(tr -d '\r' <"$work/odd-exe.json") || fail "the two applies report otherwise"
diff "$work/odd-native.list" "$work/odd-exe.list" || fail "the two applies left other files"
[ "$(ls "$odd_package/Tolvane - Lower Priority/Cache" | wc -l)" = 8 ] || fail "a master was lost"
[ -z "$(ls "$higher")" ] || fail "a leftover or a layer file in other case is still there"
echo "tolvane.exe test: leftovers, a Scenery folder that is its Cache folder, case variants"

# Runs that are still writing, native and under Wine at once: neither
# removes the other's temporary file, and neither's status names it as left
# behind. Each run is held by strace before a step of its write: the native
# apply before it renames its first copy of the boats file into place,
# tolvane.exe before it flushes its settings file's new content.
held="$work/held"
build/native/tools/make_sample_install "$held/FS9" >/dev/null
held_package="$held/FS9/Addon Scenery/Tolvane"
held_windows=$(windows_path "$held_package")
boats="$held_package/Tolvane - Lower Priority/Scenery/Traffic_marrowby_boats.bgl"
held_set=(--set UT=0 --set Helos=0 --set Floats=0 --set Ships=1 --set Boats=1)
await() {  # GLOB: the one file that matches it, once there is one
  local found=""
  for _ in $(seq 200); do
    found=$(compgen -G "$1" | head -1) && [ -n "$found" ] && break
    sleep 0.05
  done
  echo "$found"
}
strace -qq -o /dev/null -e trace=rename -e inject=rename:delay_enter=10000000:when=6 \
  build/native/cli/tolvane --package "$held_package" apply "${held_set[@]}" >/dev/null 2>&1 &
native=$!
sibling=$(await "$boats.*.tmp")
[ -n "$sibling" ] || fail "the native apply made no temporary file"
held_console() { DISPLAY=${DISPLAY:-:404} tools/wine.sh "$exe" --package "$held_windows" "$@"; }
held_console status --json >"$work/held.json" 2>/dev/null || true
grep -q '"leftovers": \[\]' "$work/held.json" ||
  fail "tolvane.exe names a running native apply's file as left behind"
held_console apply "${held_set[@]}" >/dev/null 2>&1 || fail "tolvane.exe apply failed beside a native apply"
[ -e "$sibling" ] || fail "tolvane.exe removed a running native apply's temporary file"
wait $native || fail "the native apply failed beside tolvane.exe"
cmp -s "$boats" "$held_package/Tolvane - Lower Priority/Cache/Traffic_marrowby_boats.bgl" ||
  fail "the boats file is not its master after both applies"
DISPLAY=${DISPLAY:-:404} strace -f -qq -o /dev/null -e trace=fsync \
  -e inject=fsync:delay_enter=10000000:when=1 \
  tools/wine.sh "$exe" --package "$held_windows" apply "${held_set[@]}" >/dev/null 2>&1 &
windows=$!
sibling=$(await "$held_package/TolvaneConfig.ini.*.tmp")
[ -n "$sibling" ] || fail "tolvane.exe made no temporary file"
build/native/cli/tolvane --package "$held_package" status --json >"$work/held.json" 2>/dev/null || true
grep -q '"leftovers": \[\]' "$work/held.json" ||
  fail "the native status names a running tolvane.exe's file as left behind"
build/native/cli/tolvane --package "$held_package" apply "${held_set[@]}" >/dev/null 2>&1 ||
  fail "the native apply failed beside tolvane.exe"
[ -e "$sibling" ] || fail "the native apply removed a running tolvane.exe's temporary file"
wait $windows || fail "tolvane.exe apply failed beside a native apply"
[ -z "$(compgen -G "$held_package/*.tmp")" ] || fail "a temporary file was left behind"
echo "tolvane.exe test: runs still writing, native and under Wine, leave each other's files alone"

# The simulator running in the prefix: a harmless Windows program under its
# name. tools/wine.sh would wait for the prefix's programs to end when it
# brings its own display, so these runs get a display name they do not use.
ping=""
for candidate in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/ping.exe \
  /usr/lib/i386-linux-gnu/wine/i386-windows/ping.exe; do
  [ -n "$ping" ] || [ ! -f "$candidate" ] || ping=$candidate
done
[ -n "$ping" ] || fail "Wine's ping.exe is not installed"
mkdir -p "$work/sim"
cp "$ping" "$work/sim/fs9.exe"
console() { DISPLAY=${DISPLAY:-:404} tools/wine.sh "$exe" --package "$package" "$@"; }
DISPLAY=${DISPLAY:-:404} tools/wine.sh "$work/sim/fs9.exe" -n 600 127.0.0.1 >/dev/null 2>&1 &
starter=$!
simulator=""
trap 'kill -KILL $simulator $starter 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  simulator=$(pgrep -n -x fs9.exe || true)
  [ -z "$simulator" ] || break
  sleep 0.2
done
[ -n "$simulator" ] || fail "fs9.exe did not start"
before=$(cd "$work/FS9" && find . -printf '%p %s\n' | sort)
for command in "apply --set UT=0" "apply --dry-run" scan restore "restore --dry-run"; do
  code=0
  # shellcheck disable=SC2086  # the command's words
  console $command >"$work/sim.txt" 2>&1 || code=$?
  [ "$code" = 2 ] || { cat "$work/sim.txt"; fail "tolvane.exe $command ran while fs9.exe runs"; }
  grep -q "^tolvane: the simulator is running (fs9.exe, process [0-9]*): close it first" \
    "$work/sim.txt" || fail "tolvane.exe $command gave another refusal: $(cat "$work/sim.txt")"
  code=0
  # shellcheck disable=SC2086
  build/native/cli/tolvane --wineprefix "$WINEPREFIX" --package "$work/FS9/Addon Scenery/Tolvane" \
    $command >/dev/null 2>&1 || code=$?
  [ "$code" = 2 ] || fail "the native tolvane $command ran while fs9.exe runs in the prefix"
done
[ "$(cd "$work/FS9" && find . -printf '%p %s\n' | sort)" = "$before" ] ||
  fail "a refused command changed files"
# Through another prefix (one made by hand) the simulator is not running.
mkdir -p "$work/other-prefix/dosdevices"
ln -s / "$work/other-prefix/dosdevices/z:"
printf 'WINE REGISTRY Version 2\n' | tee "$work/other-prefix/system.reg" >"$work/other-prefix/user.reg"
build/native/cli/tolvane --wineprefix "$work/other-prefix" --package "$work/FS9/Addon Scenery/Tolvane" \
  scan --dry-run >/dev/null || fail "a simulator in another prefix stopped the native tolvane"
console status >"$work/sim.txt" 2>&1 || true
grep -q "^  The simulator is running: fs9.exe, process " "$work/sim.txt" ||
  fail "status does not say that the simulator runs"
console restore --force >/dev/null 2>&1 || fail "restore --force did not run"
console scan --force >/dev/null 2>&1 || fail "scan --force did not run"
kill -KILL $simulator
wait $starter 2>/dev/null || true
for _ in $(seq 50); do
  console scan --dry-run >/dev/null 2>&1 && break
  sleep 0.2
done
console scan --dry-run >/dev/null 2>&1 || fail "scan is refused once fs9.exe has ended"
# Started as "fs9" (from a console, a batch file, a launcher), the process
# is named fs9 though its image is fs9.exe: both programs still see it.
loader=/usr/lib/wine/wine64
[[ "$ping" != *i386* ]] || loader=wine
(cd "$work/sim" && DISPLAY=${DISPLAY:-:404} "$loader" cmd /c fs9 -n 600 127.0.0.1 >/dev/null 2>&1) &
starter=$!
simulator=""
for _ in $(seq 100); do
  simulator=$(pgrep -n -x fs9 || true)
  [ -z "$simulator" ] || break
  sleep 0.2
done
[ -n "$simulator" ] || fail "fs9 did not start"
code=0
console scan --dry-run >/dev/null 2>&1 || code=$?
[ "$code" = 2 ] || fail "tolvane.exe ran while the simulator started as fs9 runs"
code=0
build/native/cli/tolvane --wineprefix "$WINEPREFIX" --package "$work/FS9/Addon Scenery/Tolvane" \
  scan --dry-run >/dev/null 2>&1 || code=$?
[ "$code" = 2 ] || fail "the native tolvane ran while the simulator started as fs9 runs"
kill -KILL $simulator
wait $starter 2>/dev/null || true
echo "tolvane.exe test: apply, scan and restore refused while fs9.exe runs (also started as fs9), natively and under Wine"

[ -n "$dialog" ] || exit 0

# Names outside ASCII: the library in Windows-1252, the host's names in UTF-8.
side="$work/Flüge"
build/native/tools/make_sample_install "$side/FS9" --program "$dialog" >/dev/null
for folder in "Saarbrücken" "SaarbrÃ¼cken2"; do
  mkdir -p "$side/FS9/Addon Scenery/$folder/scenery"
  for name in Drey_Facility_CQP8 Drey_Marrowby_Brenmoor_VTPL Drey_Marrowby_Brenmoor_LWM2; do
    printf '%s' "$folder" >"$side/FS9/Addon Scenery/$folder/scenery/$name.bgl"
  done
done
# Area 8 in Windows-1252 (byte FC); area 9 written in UTF-8, which the
# simulator reads as Windows-1252 too.
printf '\r\n[Area.008]\r\nTitle=Saarbr\xfccken\r\nLocal=Addon Scenery\\Saarbr\xfccken\r\nActive=TRUE\r\n' \
  >>"$side/FS9/scenery.cfg"
printf '\r\n[Area.009]\r\nTitle=UTF-8\r\nLocal=Addon Scenery\\Saarbr\xc3\xbccken2\r\nActive=TRUE\r\n' \
  >>"$side/FS9/scenery.cfg"
cp -a "$side/FS9" "$work/pristine"
sums() { (cd "$side/FS9" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
again() { rm -rf "$side/FS9"; cp -a "$work/pristine" "$side/FS9"; }
tolvane_package="$side/FS9/Addon Scenery/Tolvane"

build/native/cli/tolvane --package "$tolvane_package" scan >"$work/native-scan.txt" ||
  fail "native scan failed"
build/native/cli/tolvane --package "$tolvane_package" apply --set UT=1 >/dev/null ||
  fail "native apply failed"
sums >"$work/native.sums"
[ "$(grep -c '\.xxx$' "$work/native.sums")" = 12 ] ||
  { cat "$work/native-scan.txt"; fail "the native scan did not rename in both areas outside ASCII"; }

again
tools/wine.sh "$exe" --package "$(windows_path "$tolvane_package")" scan >/dev/null ||
  fail "tolvane.exe scan failed"
tools/wine.sh "$exe" --package "$(windows_path "$tolvane_package")" apply --set UT=1 >/dev/null ||
  fail "tolvane.exe apply failed"
sums >"$work/exe.sums"
diff "$work/native.sums" "$work/exe.sums" || fail "tolvane.exe left other files than the native tolvane"

# The first area listed again in other capitals outside ASCII, which Windows
# reads as the same folder: tolvane.exe's status says what the disk holds
# under both listings, before a scan and after it, and names each renamed
# file once.
again
printf '\r\n[Area.010]\r\nTitle=Again\r\nLocal=Addon Scenery\\SAARBR\xdcCKEN\r\nActive=TRUE\r\n' \
  >>"$side/FS9/scenery.cfg"
twice() {  # EXPECTED-STATE EXPECTED-RENAMED: the listing again, and the files renamed
  tools/wine.sh "$exe" --package "$(windows_path "$tolvane_package")" status --json \
    >"$work/twice.json" 2>/dev/null || true
  python3 - "$work/twice.json" "$1" "$2" <<'PYTHON' || fail "status under Wine reports its own simulation, not the disk"
import json, sys
status = json.load(open(sys.argv[1], encoding="utf-8"))
again = [area for area in status["library"]["conflicts"] if area["title"] == "Again"]
renamed = [len(f["details"]["files"]) for f in status["findings"] if f["key"] == "renamedByThisPackage"]
states = {file["state"] for area in again for file in area["files"]}
sys.exit(0 if len(again) == 1 and states == {sys.argv[2]} and sum(renamed) == int(sys.argv[3]) else 1)
PYTHON
}
twice .bgl 0
tools/wine.sh "$exe" --package "$(windows_path "$tolvane_package")" scan >/dev/null ||
  fail "tolvane.exe scan failed"
twice .xxx 12
echo "tolvane.exe test: an area listed twice, once in other capitals outside ASCII"

again
mkdir -p "$work/shots"
tools/headless.sh tools/wine.sh "$driver" "$(windows_path "$tolvane_package/TolvaneConfig.exe")" \
  "$(windows_path "$work/shots")" >/dev/null 2>&1 || fail "the dialog program's run failed"
sums >"$work/dialog.sums"
diff "$work/native.sums" "$work/dialog.sums" ||
  fail "the dialog program left other files than the native tolvane"
echo "tolvane.exe test: names outside ASCII, native and under Wine alike"
