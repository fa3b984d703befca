#!/usr/bin/env bash
# Builds the library and runs every test.
#   scripts/test.sh              Release build in build/
#   scripts/test.sh --sanitize   ASan + UBSan build in build-asan/
#   scripts/test.sh --scalar     scalar kernels only, in build-scalar/
#   scripts/test.sh --tsan       ThreadSanitizer build in build-tsan/, concurrency tests only
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVNVC_SANITIZE=ON -DKVNVC_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${1:-}" = "--scalar" ]; then
  dir=build-scalar
  opts=(-DCMAKE_BUILD_TYPE=Release -DKVNVC_SIMD=OFF -DKVNVC_BENCH=OFF)
elif [ "${1:-}" = "--tsan" ]; then
  export TSAN_OPTIONS=halt_on_error=1
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVNVC_TSAN=ON -DKVNVC_BENCH=OFF >/dev/null
  cmake --build build-tsan --target kvnvc_concurrency_tests
  exec ctest --test-dir build-tsan -R concurrency --output-on-failure
else
  dir=build
  opts=(-DCMAKE_BUILD_TYPE=Release)
fi
cmake -S . -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure
