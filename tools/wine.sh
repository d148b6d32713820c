#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix and exits
# with the program's exit code:
#   tools/wine.sh PROGRAM.exe [ARGS...]
# 64-bit programs go to wine64 directly, 32-bit ones to wine. Without a
# display (DISPLAY not set) the program runs on a virtual one: Wine needs
# one even for a program that shows no window (TolvaneConfig.exe -u). A
# prefix made here with TOLVANE_WINE_VERSION set (winxp, winxp64...)
# reports that Windows version; WINEARCH=win32 makes a 32-bit prefix.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ ! -f "${1:-}" ]; then
  echo "wine.sh: no such program: ${1:-}" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/tools/headless.sh" "$0" "$@"
fi
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# PE32+ (64-bit) has the optional-header magic 0x20b.
is_pe64() {
  local offset magic
  offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  magic=$(od -An -t x2 -j $((offset + 24)) -N 2 "$1" | tr -d ' ')
  [ "$magic" = "020b" ]
}

loader=wine
if is_pe64 "$1"; then
  loader=/usr/lib/wine/wine64
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$loader" wineboot -i >/dev/null 2>&1 || true
      if [ -n "${TOLVANE_WINE_VERSION:-}" ]; then
        "$loader" winecfg -v "$TOLVANE_WINE_VERSION" >/dev/null 2>&1 || true
      fi
      # Without a window manager (Xvfb) Wine draws the window frames itself,
      # caption, system menu and close box included.
      "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
status=0
"$loader" "$@" || status=$?
# Wine's own failures: it could not load the program (53), or this host
# could not start Wine's loader at all (126, 127).
case $status in
  53 | 126 | 127)
    echo "wine.sh: Wine could not start $1 (exit code $status)" >&2
    ;;
esac
exit $status
