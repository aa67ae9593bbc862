#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the Linux library, its
# tests and benchmarks, runs the tests under CTest, then the Windows
# platform tests under Wine and the X11 desktop tests under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
build=build/linux

step() { printf '\n== %s\n' "$*"; }

step "Linux build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"

step "Engine tests (fake desktop)"
ctest --test-dir "$build" --output-on-failure -j"$jobs" -E '^x11\.'

if [ -f scripts/test-x11.sh ]; then
  step "X11 desktop tests (Xvfb)"
  bash scripts/test-x11.sh "$build"
fi

if [ -f scripts/test-windows.sh ]; then
  step "Windows platform tests (Wine)"
  bash scripts/test-windows.sh
fi

# ---- Reliability (scripts/test-sanitizers.sh, scripts/fuzz.sh) ----------
step "Reliability: sanitizer presets, valgrind of the te host"
bash scripts/test-sanitizers.sh

step "Reliability: fuzz smoke run (each target on its seed corpus)"
bash scripts/fuzz.sh --runs 20000
# ---- end of the reliability step -----------------------------------------

step "All tests passed"
