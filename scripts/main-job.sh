#!/usr/bin/env bash
# The main job: installs what is missing, builds the library and its host
# `te`, and prints the snippet table of the default store.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh >&2
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j"$(nproc)" --target te >/dev/null

echo "snippets in the default store:"
./build/linux/tools/te/te list
