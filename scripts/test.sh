#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the Linux library, its
# tests and benchmarks, runs the tests under CTest, then the Windows
# platform tests under Wine, the X11 desktop tests under Xvfb and the
# Wayland desktop tests on headless compositors, and builds and checks the
# Debian packages. (Their proof on fresh Debian 12 roots,
# scripts/package-proof.sh, is a command of its own: it takes longer than
# all of this.)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
build=build/linux

step() { printf '\n== %s (at %d s)\n' "$*" "$SECONDS"; }

# Every step's output is also kept, so the closing line can add up what
# each test runner reported.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
run() { "$@" 2>&1 | tee -a "$log"; }

step "Linux build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
run cmake --build "$build" -j"$jobs"

step "Engine tests (fake desktop)"
run ctest --test-dir "$build" --output-on-failure -j"$jobs" -E '^(x11(apps)?|wayland|weston|desktops)\.'

if [ -f scripts/test-x11.sh ]; then
  step "X11 desktop tests (Xvfb)"
  run bash scripts/test-x11.sh "$build"
  step "Typing into Qt 6, Chromium and Firefox ESR (Xvfb)"
  run bash scripts/test-x11.sh "$build" ctest -L x11-apps --output-on-failure
fi

if [ -f scripts/test-wayland.sh ]; then
  step "Wayland desktop tests (headless sway and weston)"
  run bash scripts/test-wayland.sh "$build"
fi

if [ -f scripts/test-desktops.sh ]; then
  step "GNOME and KDE Plasma desktop tests (headless mutter, kwin_wayland)"
  run bash scripts/test-desktops.sh "$build"
fi

if [ -f scripts/test-windows.sh ]; then
  step "Windows platform tests (Wine)"
  run bash scripts/test-windows.sh
fi

if [ -f scripts/package.sh ]; then
  step "Debian packages: built and checked (lintian, validators, contents, a host against them)"
  run bash scripts/package.sh
fi

# ---- Reliability (scripts/test-sanitizers.sh, scripts/fuzz.sh) ----------
step "Reliability: sanitizer presets, valgrind of the te host"
run bash scripts/test-sanitizers.sh

step "Reliability: fuzz smoke run (each target on its seed corpus)"
run bash scripts/fuzz.sh --runs 20000
# ---- end of the reliability step -----------------------------------------

passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | awk '{ s += $1 } END { print s + 0 }')
step "All tests passed"
echo "tests: ${passed:-0} passed, 0 failed"
