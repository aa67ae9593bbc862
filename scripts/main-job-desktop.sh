#!/usr/bin/env bash
# One expansion on a desktop of its own: starts an Xvfb and the project's
# text window, runs a command (by default `te run` in clipboard mode, with
# a fresh store holding the seed snippets), copies "Dear team, >>addr" with
# xclip, and prints what arrived in the window.
#
#   scripts/main-job-desktop.sh BUILD_DIR [COMMAND [ARG...]]
#
# The command runs with DISPLAY and APPDATA (a temporary folder) set; it is
# sent SIGTERM once the text has arrived or after TE_DESKTOP_WAIT seconds
# (default 5). Exits 0 when the address arrived.
set -euo pipefail

build_dir=$(cd "${1:?usage: main-job-desktop.sh BUILD_DIR [COMMAND...]}" && pwd)
shift
wait_s=${TE_DESKTOP_WAIT:-5}
copied="Dear team, >>addr"
expected="123 Example Street"

log() { printf 'main-job-desktop: %s\n' "$*" >&2; }

work=$(mktemp -d)
pids=()
# Stops the children last started first, so the X server goes last.
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits (up to $2 tenths of a second) until the command in $1 succeeds.
wait_until() {
  local i
  for i in $(seq 1 "$2"); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

. "$(dirname "$0")/lib/xvfb.sh"
te_xvfb_start 1280x800x24 || exit 1
pids+=("$te_xvfb_pid")

"$build_dir/tools/te-window/te-window" "$work/received.txt" "Velmora demo" >"$work/window.id" &
pids+=($!)
wait_until '[ -s "$work/window.id" ]' 100 || { log "the text window did not start"; exit 1; }

if [ $# -eq 0 ]; then
  set -- "$build_dir/tools/te/te" run --mode clipboard
fi
APPDATA="$work/appdata" "$@" >"$work/command.out" 2>"$work/command.err" &
command_pid=$!
pids+=("$command_pid")
sleep 0.5

printf '%s' "$copied" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
pids+=($!)
log "copied \"$copied\" on $DISPLAY; waiting up to ${wait_s}s"
wait_until 'grep -q "New Zealand" "$work/received.txt"' "$((wait_s * 10))" || true
sleep 0.2
kill "$command_pid" 2>/dev/null || true
wait "$command_pid" 2>/dev/null || true

echo "arrived in the window:"
cat "$work/received.txt"
echo
if grep -q "$expected" "$work/received.txt"; then
  exit 0
fi
log "the address did not arrive; the command said:"
cat "$work/command.out" "$work/command.err" >&2
exit 1
