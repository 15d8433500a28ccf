#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Arguments go to ctest, except:
#   --asan   builds in build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer and runs
#            every test there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
if [ "${1:-}" = "--asan" ]; then
  shift
  export ORVALE_BUILD_DIR="${ORVALE_ASAN_BUILD_DIR:-$root/build-asan}"
  export ORVALE_CMAKE_ARGS="-DORVALE_BUILD_BENCH=OFF"
  export CFLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  export CXXFLAGS="$CFLAGS"
  # Qt and the system libraries are not instrumented: leaks they hold at exit are theirs.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
"$root/scripts/build.sh"
cd "${ORVALE_BUILD_DIR:-$root/build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
