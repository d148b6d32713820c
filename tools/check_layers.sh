#!/usr/bin/env bash
# Fails when a file of the product includes a header of a folder that is not
# on a lower floor than its own (its own folder aside). The floors, from the
# ground up, as the README draws them:
#   0  platform/ res/                 the seam to the system, resource numbers
#   1  paths/ ini/ preview/ dialog/   path text, INI files, what Windows refuses
#                                     and the preview, the dialog layer
#   2  host/ fileops/ scenerycfg/     this host's names and files, file
#                                     actions, the scenery library
#   3  layers/                        options, settings, plan, apply
#   4  survey/                        what status reports
#   5  app/ cli/                      the dialog program, the command line
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
declare -A floor=([platform]=0 [res]=0 [paths]=1 [ini]=1 [preview]=1 [dialog]=1 [host]=2
                  [fileops]=2 [scenerycfg]=2 [layers]=3 [survey]=4 [app]=5 [cli]=5)
folders=()
for folder in "${!floor[@]}"; do
  folders+=("$folder/*")
done
status=0
for file in $(git ls-files -co --exclude-standard "${folders[@]}" | grep -E '\.(cpp|h)$'); do
  own=${file%%/*}
  for header in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
    folder=${header%%/*}
    [ -n "${floor[$folder]:-}" ] && [ "$folder" != "$own" ] || continue
    if [ "${floor[$folder]}" -ge "${floor[$own]}" ]; then
      echo "layering: $file (floor ${floor[$own]}) includes $header (floor ${floor[$folder]})"
      status=1
    fi
  done
done
[ "$status" -eq 0 ] && echo "layering: every include points to a lower floor"
exit "$status"
