#!/usr/bin/env bash
# Prints the size of each program and fails when one is larger than LIMIT bytes.
# Usage: program-sizes.sh LIMIT FILE...
set -euo pipefail
limit=${1:?usage: program-sizes.sh LIMIT FILE...}
shift
status=0
for file in "$@"; do
  size=$(stat -c %s "$file")
  verdict=ok
  if (( size > limit )); then verdict="too large (limit $limit)"; status=1; fi
  printf '%-40s %9d bytes  %s\n' "$(basename "$file")" "$size" "$verdict"
done
exit $status
