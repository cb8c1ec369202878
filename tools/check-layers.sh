#!/usr/bin/env bash
# Checks that the source tree's layers depend one way only: a file in
# src/N-name includes nothing from a folder src/M-name with M > N, and the
# portable layers (the IFF library, the program state, the windows'
# behaviour) never include windows.h. Prints each offending line and exits 1
# when there is one; exits 0 otherwise.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
status=0
while IFS= read -r file; do
  rel=${file#"$src"/}
  layer=${rel%%-*}
  while IFS=: read -r line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([0-9]+)-.*/\1/' <<<"$text")
    if [ "$target" -gt "$layer" ]; then
      echo "$rel:$line: includes a layer above its own: $text"
      status=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[0-9]+-' "$file" || true)
  case $layer in
    2 | 3 | 4)
      if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$file" >/dev/null; then
        echo "$rel: a portable layer includes windows.h"
        status=1
      fi
      ;;
  esac
done < <(find "$src" -path "$src/[0-9]*-*" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
exit $status
