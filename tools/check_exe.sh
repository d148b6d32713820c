#!/usr/bin/env bash
# Checks the shipped program: 32-bit GUI program, statically linked (only
# Windows system DLLs imported), at most 1 MiB.
#   tools/check_exe.sh build/mingw/TolvaneConfig.exe
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$exe")
fail=0
grep -q 'Magic.*010b' <<<"$headers" || { echo "not a 32-bit (PE32) program"; fail=1; }
grep -q 'Subsystem.*Windows GUI' <<<"$headers" || { echo "not a GUI-subsystem program"; fail=1; }
allowed='^(kernel32|user32|gdi32|shell32|comctl32|advapi32|msvcrt|comdlg32|ole32|shlwapi)\.dll$'
while read -r dll; do
  if ! tr 'A-Z' 'a-z' <<<"$dll" | grep -Eq "$allowed"; then
    echo "imports a non-system DLL: $dll"
    fail=1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
size=$(stat -c %s "$exe")
if [ "$size" -gt 1048576 ]; then
  echo "too big: $size bytes (limit 1048576)"
  fail=1
fi
echo "$exe: $size bytes, imports: $(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"
exit $fail
