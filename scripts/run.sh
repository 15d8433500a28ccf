#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer with the given arguments
# (with none, the bundled sample document).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
bin="${ORVALE_BUILD_DIR:-$root/build}/bin"
if [ $# -eq 0 ]; then
  set -- "$root/resources/sample/OrvalePDFSample.pdf"
fi
exec "$bin/OrvalePDF" "$@"
