#!/usr/bin/env bash
# Configures (once) and builds incrementally into build/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_BUILD_DIR:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -- -j"$(nproc)" | grep -v '^\[' || true
test "${PIPESTATUS[0]}" -eq 0
