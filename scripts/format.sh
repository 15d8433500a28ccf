#!/usr/bin/env bash
# Checks every C++ source against .clang-format: lists the files that differ and exits 1.
# With --fix, rewrites them in place instead. CLANG_FORMAT names another binary than Debian's
# clang-format (the style is pinned to its version 14).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
formatter="${CLANG_FORMAT:-clang-format}"
fix=false
case "${1:-}" in
  "") ;;
  --fix) fix=true ;;
  *) echo "Usage: $0 [--fix]" >&2; exit 2 ;;
esac

cd "$root"
[ -n "${CLANG_FORMAT:-}" ] || "$root/scripts/deps.sh" clang-format clang-tidy
mapfile -d '' files < <(find . \( -path './build*' -o -path './.*' \) -prune -o -type f \
  \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.hpp' \) -print0 | sort -z)

if $fix; then
  "$formatter" --style=file -i "${files[@]}"
  exit 0
fi
status=0
for f in "${files[@]}"; do
  if ! "$formatter" --style=file "$f" | cmp -s - "$f"; then
    echo "${f#./}"
    status=1
  fi
done
exit $status
