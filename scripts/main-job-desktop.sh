#!/usr/bin/env bash
# Expansion on a desktop of its own: starts an Xvfb and the project's text
# window, with a fresh store holding the seed snippets, then
#   1. runs `te run --mode keys --synthetic-keys` while xdotool types
#      "Dear team, >>addr" into the window as a person would: the address
#      replaces the trigger (xdotool is another program's typing, which keys
#      mode watches only with --synthetic-keys);
#   2. runs `te run` (clipboard mode) and copies "Dear team, >>addr" with
#      xclip: the address is typed into the window.
# Prints what the window holds after each, and exits 0 when the address
# arrived both times (each is given TE_DESKTOP_WAIT seconds, default 5).
#
#   scripts/main-job-desktop.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "${1:?usage: main-job-desktop.sh BUILD_DIR}" && pwd)
wait_s=${TE_DESKTOP_WAIT:-5}
te="$build_dir/tools/te/te"
sentence="Dear team, >>addr"

log() { printf 'main-job-desktop: %s\n' "$*" >&2; }

work=$(mktemp -d)
. "$(dirname "$0")/lib/children.sh"
cleanup() {
  te_stop_children
  rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/lib/xvfb.sh"
te_xvfb_start 1280x800x24 || exit 1
te_children+=("$te_xvfb_pid")

"$build_dir/tools/te-window/te-window" "$work/received.txt" "Velmora demo" >"$work/window.id" &
te_children+=($!)
wait_until '[ -s "$work/window.id" ]' 100 || { log "the text window did not start"; exit 1; }

addresses() { grep -c "New Zealand" "$work/received.txt" 2>/dev/null || true; }

# Runs `te run ARGS...` in the background; its pid in $te_pid.
start_te() {
  APPDATA="$work/appdata" "$te" run "$@" >>"$work/te.out" 2>>"$work/te.err" &
  te_pid=$!
  te_children+=("$te_pid")
  sleep 0.5
}

# Waits for address number $1 in the window, stops te and shows the window.
finish() {
  wait_until '[ "$(addresses)" -ge '"$1"' ]' "$((wait_s * 10))" || true
  sleep 0.2
  kill "$te_pid" 2>/dev/null || true
  wait "$te_pid" 2>/dev/null || true
  echo "the window now holds:"
  cat "$work/received.txt"
  echo
  if [ "$(addresses)" -lt "$1" ]; then
    log "the address did not arrive; te said:"
    cat "$work/te.out" "$work/te.err" >&2
    exit 1
  fi
}

echo "1. te run --mode keys --synthetic-keys; xdotool types \"$sentence\" into the window"
start_te --mode keys --synthetic-keys
xdotool type --delay 60 "$sentence"
finish 1

echo
echo "2. te run (clipboard mode); on a new line, \"$sentence\" is copied and its address typed"
xdotool key Return
start_te --mode clipboard
printf '%s' "$sentence" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
te_children+=($!)
finish 2
