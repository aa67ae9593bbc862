#!/usr/bin/env bash
# The test suite under sanitizers and the te host under valgrind:
#   1. asan-ubsan preset: every test under AddressSanitizer and
#      UndefinedBehaviorSanitizer (headless desktop, no benchmarks);
#   2. tsan preset: the concurrency and worker tests under ThreadSanitizer;
#   3. valgrind memcheck of the te host's main paths, on a plain headless
#      build of the host (build/valgrind), or on BUILD_DIR when given.
#
#   scripts/test-sanitizers.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n== %s\n' "$*"; }

for preset in asan-ubsan tsan; do
  step "Sanitizers: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset"
done

step "valgrind: te host"
plain=${1:-}
if [ -z "$plain" ]; then
  plain=build/valgrind
  cmake -S . -B "$plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTE_DESKTOP=headless \
    -DTE_BUILD_TESTS=OFF -DTE_BUILD_BENCH=OFF >/dev/null
  cmake --build "$plain" --target te -j"$jobs"
fi
bash scripts/test-valgrind.sh "$plain"
