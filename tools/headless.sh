#!/usr/bin/env bash
# Runs a command on a virtual X display (Xvfb, 1024x768), which programs
# under Wine need even when they show no window, and passes its exit code
# through. Before the display closes, the Wine processes of the prefix are
# waited for, so that none of them loses its display on the way out.
#   tools/headless.sh COMMAND [ARGS...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
  '"$@" && code=0 || code=$?; wineserver -w 2>/dev/null || true; exit $code' headless "$@"
