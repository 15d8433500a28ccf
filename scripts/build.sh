#!/usr/bin/env bash
# Configures (once) and builds incrementally into build/; the compiler's output goes to
# build/build.log and is shown only when the build fails. On a terminal one line shows how far
# the build is.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_BUILD_DIR:-$root/build}"
log="$build/build.log"

if [ ! -d "$build" ]; then
  echo "First build: this takes about fifteen minutes on two cores (later builds only redo what changed)." >&2
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ORVALE_CMAKE_ARGS:-} >/dev/null
fi

# Ninja's own one-line status, which it shows only when it writes to a terminal itself: each
# "[done/total] step" line overwrites the previous one, cut to the terminal's width.
show_progress() {
  local width line
  width=$(tput cols 2>/dev/null || echo 80)
  while IFS= read -r line; do
    if [[ $line =~ ^\[[0-9]+/[0-9]+\] ]]; then
      printf '\r\033[K%s' "${line:0:width-1}"
    fi
  done
  printf '\r\033[K'
}

build_all() {
  if [ -t 1 ]; then
    cmake --build "$build" -- -j"$(nproc)" 2>&1 | tee "$log" | show_progress
  else
    cmake --build "$build" -- -j"$(nproc)" >"$log" 2>&1
  fi
}

if ! build_all; then
  grep -v '^\[[0-9]*/[0-9]*\]' "$log" | tail -n 200
  echo "Build failed; the whole output is in $log" >&2
  exit 1
fi
