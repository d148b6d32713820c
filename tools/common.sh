# shellcheck shell=bash
# Shared by the project's scripts; source it.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# The presets that allow it compile through ccache, in the user's own cache
# (ccache's default) with paths relative to the first tree, so that another
# clone, or a copy of the tree made inside it (the README test's), reuses
# what was compiled before.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

# The Windows build that this host's Wine can start: the shipped 32-bit
# program where 32-bit code runs, else its 64-bit twin.
wine_preset() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo mingw
  else
    echo mingw64
  fi
}

build_preset() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# Runs the calling script again where only the processes it starts are seen
# (a PID namespace of its own with its own /proc), unless it runs in one
# already: a stand-in of the simulator that another run starts, or a
# simulator someone flies on this machine, then never changes what its
# programs decide. Call it as: isolate_processes "$0" "$@"
isolate_processes() {
  [ -z "${TOLVANE_ISOLATED:-}" ] || return 0
  export TOLVANE_ISOLATED=1
  local unshare=(unshare --pid --fork --mount-proc --kill-child)
  [ "$(id -u)" = 0 ] || unshare=(unshare --user --map-current-user --pid --fork --mount-proc --kill-child)
  if "${unshare[@]}" true 2>/dev/null; then
    exec "${unshare[@]}" bash "$@"
  fi
  echo "$(basename "$1"): no PID namespace here: its programs see every process of this machine" >&2
}
