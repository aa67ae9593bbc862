#!/usr/bin/env bash
# The test suite under sanitizers and the te host under valgrind:
#   1. asan-ubsan preset: every test under AddressSanitizer and
#      UndefinedBehaviorSanitizer (no benchmarks), the X11 desktop tests
#      among them on an Xvfb of their own and the Wayland desktop tests on
#      headless compositors;
#   2. tsan preset: the concurrency, worker and X11 desktop tests under
#      ThreadSanitizer;
#   3. valgrind memcheck of the te host's main paths, on a plain headless
#      build of the host (build/valgrind), or on BUILD_DIR when given.
#
#   scripts/test-sanitizers.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n== %s\n' "$*"; }

# The X11 desktop tests of a sanitizer build, when it has the X11 desktop;
# the test names matching $2 are left out.
x11_tests() {
  local dir=build/sanitize-$1
  grep -q '^TE_DESKTOPS:STRING=.*x11' "$dir/CMakeCache.txt" || return 0
  step "Sanitizers: $1, X11 desktop tests"
  bash scripts/test-x11.sh "$dir" ctest -R '^x11\.' -E "${2:-^$}" --output-on-failure
}

for preset in asan-ubsan tsan; do
  step "Sanitizers: $preset"
  # The desktops follow what this machine has (a build folder made before
  # may still name others).
  cmake --preset "$preset" -U TE_DESKTOPS >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset"
  case $preset in
    # No strict_string_checks here: libxkbcommon-x11 strndup()s atom names
    # straight out of libxcb's replies, which are not NUL-terminated, and
    # that option makes ASan read them to a NUL that is not there.
    asan-ubsan) ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/x11/lsan.supp" \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 x11_tests "$preset"
                step "Sanitizers: $preset, Wayland desktop tests"
                ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                  bash scripts/test-wayland.sh "build/sanitize-$preset" ;;
    # Reports do not halt here: the peer programs the tests drive (the GTK
    # text view among them) are built with the sanitizer too, and races
    # inside GTK's own threads are not ours. A test process with a report
    # still fails, by the sanitizer's exit status. The manager window (Qt)
    # is not built in this preset.
    tsan) TSAN_OPTIONS="second_deadlock_stack=1:suppressions=$PWD/tests/x11/tsan.supp" \
          x11_tests "$preset" '^x11\.(manager|picker)\.' ;;
  esac
done

step "valgrind: te host"
plain=${1:-}
if [ -z "$plain" ]; then
  plain=build/valgrind
  cmake -S . -B "$plain" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTE_DESKTOPS=none \
    -DTE_BUILD_TESTS=OFF -DTE_BUILD_BENCH=OFF >/dev/null
  cmake --build "$plain" --target te -j"$jobs"
fi
bash scripts/test-valgrind.sh "$plain"
