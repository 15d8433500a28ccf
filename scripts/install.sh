#!/usr/bin/env bash
# Installs what the build needs, builds, and installs OrvalePDF under PREFIX (default
# /usr/local): the program's folder PREFIX/lib/orvalepdf, the links PREFIX/bin/orvalepdf and
# PREFIX/bin/orvalepdf-synctex, the desktop entry, the icon and the manual pages. The list of
# what was installed stays in PREFIX/lib/orvalepdf/install_manifest.txt for uninstall.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_BUILD_DIR:-$root/build}"
prefix="$(realpath -m "${1:-/usr/local}")"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
cmake --install "$build" --prefix "$prefix" >/dev/null
manifest="$prefix/lib/orvalepdf/install_manifest.txt"
{ cat "$build/install_manifest.txt"; echo; echo "$manifest"; } | sed '/^$/d' >"$manifest"
# The desktop's caches, where it keeps them; a desktop without them reads the folders itself.
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$prefix/share/applications" || true
fi
if command -v gtk-update-icon-cache >/dev/null && [ -f "$prefix/share/icons/hicolor/index.theme" ]; then
  gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor" || true
fi
echo "OrvalePDF installed under $prefix (run: $prefix/bin/orvalepdf)"
