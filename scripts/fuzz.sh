#!/usr/bin/env bash
# The fuzz targets: one libFuzzer program per parser of our own, built with clang, ASan and
# UBSan in build-fuzz/.
#   scripts/fuzz.sh --list              the target names, one a line
#   scripts/fuzz.sh TARGET SECONDS      builds what is missing and runs TARGET that long
#   scripts/fuzz.sh --all SECONDS       every target in turn, SECONDS each
# A finding ends the run with status 1 and the reproducer's path; run the target program on
# that file to see it again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVALE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
fuzzdir="$root/tests/fuzz"

targets() {
  for f in "$fuzzdir"/*.cpp; do basename "$f" .cpp; done
}

usage() {
  echo "usage: scripts/fuzz.sh --list | TARGET SECONDS | --all SECONDS" >&2
  exit 2
}

build_targets() {
  "$root/scripts/deps.sh" clang libclang-rt-14-dev
  if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVALE_FUZZ=ON \
      >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
  fi
  if ! cmake --build "$build" --target "$@" -- -j"$(nproc)" >"$build/build.log" 2>&1; then
    grep -v '^\[[0-9]*/[0-9]*\]' "$build/build.log" | tail -n 100
    echo "Build failed; the whole output is in $build/build.log" >&2
    exit 1
  fi
}

run_target() {
  local target=$1 seconds=$2
  local corpus="$build/corpus/$target" findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/"
              -print_final_stats=1)
  [ -f "$fuzzdir/$target.dict" ] && args+=(-dict="$fuzzdir/$target.dict")
  echo "== $target: $seconds s"
  local log="$build/$target.log"
  # New inputs go into the build folder's corpus; the checked-in seeds are only read.
  if ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
       "$build/fuzz/fuzz_$target" "${args[@]}" "$corpus" "$fuzzdir/corpus/$target" >"$log" 2>&1; then
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' "$log" || true
    return 0
  fi
  tail -n 60 "$log"
  local found
  found=$(ls -t "$findings"/* 2>/dev/null | head -n 1 || true)
  echo "Finding in $target: reproducer ${found:-(none written; see $log)}" >&2
  return 1
}

[ $# -ge 1 ] || usage
case "$1" in
  --list)
    targets
    ;;
  --all)
    [ $# -eq 2 ] || usage
    mapfile -t all < <(targets)
    build_targets "${all[@]/#/fuzz_}"
    status=0
    for t in "${all[@]}"; do run_target "$t" "$2" || status=1; done
    exit $status
    ;;
  *)
    [ $# -eq 2 ] || usage
    # A loop, not grep -q: grep leaving early would break the pipe and, under pipefail, fail the test.
    mapfile -t all < <(targets)
    known=0
    for t in "${all[@]}"; do [ "$t" = "$1" ] && known=1; done
    [ "$known" = 1 ] || { echo "No fuzz target \"$1\"; scripts/fuzz.sh --list names them." >&2; exit 2; }
    build_targets "fuzz_$1"
    run_target "$1" "$2"
    ;;
esac
