#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh
# Debian machine. Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache clang clang-format libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-apps x11-utils imagemagick
  libinih-dev libsimpleini-dev libcli11-dev nlohmann-json3-dev
  python3 coreutils pkgconf unzip strace locales shellcheck util-linux
  # The 32-bit lane's guest (tools/guest32.sh): built from Debian packages,
  # its i386 programs run under user-mode emulation while it is made, then
  # booted under full-system emulation.
  qemu-system-x86 qemu-user-static mmdebstrap arch-test cpio e2fsprogs xz-utils
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh installs Debian packages and must run as root" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
# Wine takes a prefix's ANSI code page from the locale it starts in; the
# Japanese one (code page 932) must be there for host names in UTF-8.
if ! locale -a 2>/dev/null | grep -qx ja_JP.utf8; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
echo "setup: all packages present"
