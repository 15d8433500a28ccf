#!/usr/bin/env bash
# Removes what install.sh put under PREFIX (default /usr/local), as its manifest lists it, and
# the folders that are left empty; nothing else is touched.
set -euo pipefail
prefix="$(realpath -m "${1:-/usr/local}")"
manifest="$prefix/lib/orvalepdf/install_manifest.txt"
if [ ! -f "$manifest" ]; then
  echo "No OrvalePDF install under $prefix ($manifest is missing)" >&2
  exit 1
fi
mapfile -t files <"$manifest"
for f in "${files[@]}"; do
  case "$f" in
    "$prefix"/*) ;;
    *) echo "Skipped, not under $prefix: $f" >&2; continue ;;
  esac
  if [ -L "$f" ] || [ -f "$f" ]; then
    rm -f -- "$f"
  fi
done
# Empty folders, deepest first, up to (not including) the prefix's own top folders.
for f in "${files[@]}"; do
  dir="$(dirname -- "$f")"
  while [ "$dir" != "$prefix" ] && [ "${dir#"$prefix"/}" != "$dir" ]; do
    case "${dir#"$prefix"/}" in
      bin | lib | share | share/applications | share/man | share/man/man1 | share/icons | share/icons/hicolor) break ;;
    esac
    rmdir -- "$dir" 2>/dev/null || break
    dir="$(dirname -- "$dir")"
  done
done
echo "OrvalePDF removed from $prefix"
