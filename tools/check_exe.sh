#!/usr/bin/env bash
# Checks a shipped program: a 32-bit GUI program of at most 1 MiB (with
# --console: a console program of at most 2 MiB) that imports only Windows
# system DLLs, and only functions that Windows XP SP3 already has, with PE
# OS and subsystem versions of at most 5.1.
#   tools/check_exe.sh build/mingw/TolvaneConfig.exe
#   tools/check_exe.sh build/mingw/cli/tolvane.exe --console
# It lists every imported function and compiles a reference to each against
# the MinGW-w64 headers with _WIN32_WINNT=0x0501, which leave out every
# declaration newer than XP: a function that is missing fails the check.
set -euo pipefail
exe=$1
subsystem="Windows GUI" limit=1048576
[ "${2:-}" = --console ] && subsystem="Windows CUI" limit=2097152
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$exe")
fail=0
grep -q 'Magic.*010b' <<<"$headers" || { echo "not a 32-bit (PE32) program"; fail=1; }
grep -q "Subsystem.*$subsystem" <<<"$headers" || { echo "not a $subsystem program"; fail=1; }
for field in MajorOSystemVersion MajorSubsystemVersion; do
  major=$(awk -v f="$field" '$1 == f {print $2}' <<<"$headers")
  minor=$(awk -v f="${field/Major/Minor}" '$1 == f {print $2}' <<<"$headers")
  if [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 1 ]; }; then
    echo "${field/Major/} $major.$minor is newer than Windows XP (5.1)"
    fail=1
  fi
done
allowed='^(kernel32|user32|gdi32|shell32|comctl32|advapi32|msvcrt)\.dll$'
while read -r dll; do
  if ! tr 'A-Z' 'a-z' <<<"$dll" | grep -Eq "$allowed"; then
    echo "imports a non-system DLL: $dll"
    fail=1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
size=$(stat -c %s "$exe")
if [ "$size" -gt "$limit" ]; then
  echo "too big: $size bytes (limit $limit)"
  fail=1
fi
echo "$exe: $size bytes"

# "DLL function" for every import, from objdump's import tables.
imports=$(awk -F'\t' '/DLL Name:/ {split($2, a, ": "); dll = a[2]; next}
  dll != "" && NF >= 3 && $3 ~ /^ *[0-9]+ +[A-Za-z_]/ {n = split($3, b, " "); print dll, b[n]}
  /^$/ {dll = ""}' <<<"$headers" | sort -f)
for dll in $(cut -d' ' -f1 <<<"$imports" | sort -fu); do
  echo "  $dll: $(awk -v d="$dll" '$1 == d {print $2}' <<<"$imports" | tr '\n' ' ')"
done

# The C runtime's own entries (start-up, setjmp), which msvcrt.dll has
# exported since Windows NT 4 but no public header declares as functions.
crt_own=' _amsg_exit _initterm __getmainargs __initenv __p__acmdln __p__commode __p__fmode __setusermatherr __set_app_type _iob __mb_cur_max _setjmp3 '
source=$(mktemp --suffix=.c)
{
  echo '#define _WIN32_WINNT 0x0501'
  echo '#define WINVER 0x0501'
  echo '#define __MSVCRT_VERSION__ 0x0700'
  for header in windows.h shellapi.h shlobj.h commctrl.h tlhelp32.h ctype.h direct.h errno.h io.h locale.h \
                process.h setjmp.h signal.h stdio.h stdlib.h string.h sys/stat.h sys/utime.h \
                time.h wchar.h wctype.h; do
    echo "#include <$header>"
  done
  echo 'const void* const references[] = {'
  awk -v own="$crt_own" 'index(own, " " $2 " ") == 0 {print "    (const void*)&" $2 ","}' \
    <<<"$imports"
  echo '};'
} >"$source"
errors=$(i686-w64-mingw32-gcc-win32 -fsyntax-only "$source" 2>&1 | grep 'error:' || true)
rm -f "$source"
missing=$(sed -n "s/.*error: .\([A-Za-z_0-9]*\). undeclared.*/\1/p" <<<"$errors" | sort -u)
if grep -v 'undeclared' <<<"$errors" | grep -q .; then
  echo "the reference check does not compile:"
  grep -v 'undeclared' <<<"$errors"
  fail=1
fi
newer=""
for name in $missing; do
  newer+=" $(awk -v n="$name" '$2 == n {print $1; exit}' <<<"$imports"):$name"
done
# The runtime's own entries count only from msvcrt.dll.
while read -r dll name; do
  if [[ "$crt_own" == *" $name "* ]] && [ "$(tr 'A-Z' 'a-z' <<<"$dll")" != msvcrt.dll ]; then
    newer+=" $dll:$name"
  fi
done <<<"$imports"
if [ -n "$newer" ]; then
  echo "imports functions that Windows XP SP3 lacks:$newer"
  fail=1
else
  echo "  every imported function is declared for Windows XP (_WIN32_WINNT=0x0501)"
fi
exit $fail
