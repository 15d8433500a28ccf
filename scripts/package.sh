#!/usr/bin/env bash
# Builds the Debian package build/orvalepdf_VERSION_amd64.deb from the same install rules as
# install.sh, under /usr, and checks it with lintian (errors fail; warnings are printed).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
(cd "$build" && cpack --config CPackConfig.cmake >/dev/null)
deb="$(ls -t "$build"/orvalepdf_*_amd64.deb | head -n 1)"
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
fi
echo "$deb"
