#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each in turn.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   each target for that long (default 60)
#   scripts/fuzz.sh --runs N               each target for N executions (CI: a
#                                          short smoke run on its seed corpus)
#   TE_FUZZ_TARGETS="render match" scripts/fuzz.sh ...   only those targets
#
# Inputs found along the way go to a scratch folder that is removed at the
# end; the seed corpora under fuzz/corpus/ are only read. Store files are
# written under /dev/shm, never to the disk. A crash leaves its input in
# build/fuzz/artifacts/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=build/fuzz

limit=(-max_total_time="${1:-60}")
if [ "${1:-}" = "--runs" ]; then
  limit=(-runs="${2:?--runs needs a count}")
fi
targets=${TE_FUZZ_TARGETS:-"snippet_edit snippet_import store_read start_config rule_set render match hotkey_chord"}

cmake -S . -B "$build" -DTE_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTE_DESKTOPS=none -DTE_BUILD_TESTS=OFF -DTE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target te_fuzzers -j"$(nproc)"

# A smaller quarantine than ASan's 256 MiB: freed memory is reused sooner,
# which keeps the page faults (and so the time per input) down while a use
# after a recent free is still caught.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}

scratch=$(mktemp -d /dev/shm/te-fuzz-run.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"

for t in $targets; do
  mkdir -p "$scratch/$t/found" "$scratch/$t/cwd"
  printf '== fuzz %s (%s)\n' "$t" "${limit[*]}"
  log="$scratch/$t/log"
  # The working folder is the scratch one: a relative store path a start
  # configuration names is read there.
  if ! (cd "$scratch/$t/cwd" && TE_FUZZ_DIR="$scratch/$t" "$root/$build/fuzz/${t}_fuzzer" \
          "$scratch/$t/found" "$root/fuzz/corpus/$t" "${limit[@]}" -max_len=8192 -timeout=25 \
          -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$root/$build/artifacts/$t-" \
          >"$log" 2>&1); then
    tail -n 60 "$log"
    echo "fuzz $t: FAILED (input kept in $build/artifacts/)" >&2
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done|DONE' "$log" | tail -n 2
done
echo "== fuzz: all targets passed"
