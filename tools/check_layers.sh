#!/usr/bin/env bash
# Fails when a file of the product includes a header from a folder above its
# own, or when two files include each other's headers. The layers, bottom
# to top: platform/ -> paths/, ini/ -> fileops/, layers/, scenerycfg/ -> app/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
declare -A level=([platform]=0 [paths]=1 [ini]=1 [fileops]=2 [layers]=2 [scenerycfg]=2
                  [app]=3 [res]=3 [cli]=3)
status=0
edges=$(mktemp)
for file in $(git ls-files -co --exclude-standard 'platform/*' 'paths/*' 'ini/*' 'fileops/*' \
                'layers/*' 'scenerycfg/*' 'app/*' 'cli/*' | grep -E '\.(cpp|h)$'); do
  own=${file%%/*}
  for header in $(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file"); do
    folder=${header%%/*}
    [ -n "${level[$folder]:-}" ] || continue
    if [ "${level[$folder]}" -gt "${level[$own]}" ] ||
       { [ "$folder" != "$own" ] && [ "${level[$folder]}" -eq "${level[$own]}" ] &&
         git ls-files -co --exclude-standard "$folder/*" | grep -E '\.(cpp|h)$' |
           xargs grep -q "^#include \"$own/"; }; then
      echo "layering: $file includes $header"
      status=1
    fi
    echo "${file%.*} ${header%.*}" >>"$edges"
  done
done
# Two files that include each other's headers.
while read -r from to; do
  if [ "$from" != "$to" ] && grep -qx "$to $from" "$edges"; then
    echo "layering: $from and $to include each other's headers"
    status=1
  fi
done <"$edges"
rm -f "$edges"
[ "$status" -eq 0 ] && echo "layering: every include points down"
exit "$status"
