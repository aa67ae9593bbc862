#!/usr/bin/env bash
# The main job: installs what is missing, builds the library, its host `te`
# and a small text window, then shows expansion end to end on a virtual X
# desktop of its own: xdotool types "Dear team, >>addr" into the window while
# `te run --mode keys` runs, and the address replaces the trigger; then the
# same sentence is copied to the clipboard while `te run` watches it. What
# the window holds is printed after each.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh >&2
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j"$(nproc)" --target te te-window >/dev/null

exec bash scripts/main-job-desktop.sh build/linux
