#!/usr/bin/env bash
# Configures (once) and builds incrementally into build/; the compiler's output is shown only
# when the build fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_BUILD_DIR:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if ! cmake --build "$build" -- -j"$(nproc)" >"$build/build.log" 2>&1; then
  grep -v '^\[[0-9]*/[0-9]*\]' "$build/build.log" | tail -n 200
  echo "Build failed; the whole output is in $build/build.log" >&2
  exit 1
fi
