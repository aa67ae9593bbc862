#!/usr/bin/env bash
# valgrind memcheck of the te host's main paths: every command below must
# run without an invalid access and without a definite or indirect leak.
#
#   scripts/test-valgrind.sh BUILD_DIR    (a build without sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/test-valgrind.sh BUILD_DIR}
te="$build/tools/te/te"
[ -x "$te" ] || { echo "test-valgrind: $te is not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APPDATA="$work/appdata" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
unset TE_STORE
# No display: a build with the X11 desktop then has no clipboard or keys,
# and the paths checked are the engine's.
unset DISPLAY

VG_ERROR=99
vg=(valgrind --quiet --error-exitcode=$VG_ERROR --leak-check=full
    --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect)
checked=0

# Runs `te ARGS...` under memcheck; the command itself must exit with
# $want (0 unless given as want=N before the arguments).
check() {
  local want=0
  if [[ "$1" == want=* ]]; then want=${1#want=}; shift; fi
  local rc=0
  "${vg[@]}" "$te" "$@" >"$work/out" 2>"$work/err" || rc=$?
  checked=$((checked + 1))
  if [ "$rc" -ne "$want" ]; then
    echo "valgrind te $*: exit $rc, wanted $want" >&2
    cat "$work/err" >&2
    exit 1
  fi
}

cat >"$work/import.json" <<'JSON'
[{"trigger":";vi1","text":"imported {year}"},{"trigger":";vg","text":"replaced"},{"text":"refused"}]
JSON

check count
check list
check add '{"trigger":";vg","text":"valgrind {date} {time} {random6}","folder":"Checks","apps":"*"}'
check want=1 add '{not json'
check add ';vf' 'friendly {year}' --folder Checks --apps 'GEDIT,KATE'
printf 'from\nstandard input\n' >"$work/stdin.txt"
check add ';vs' <"$work/stdin.txt"
check list --json
check search friendly
check --store "$work/other.json" add ';vo' 'other store'
check path
check want=3 status
check autostart on --mode hotkey --hotkey CTRL+SHIFT+E
check autostart off
EDITOR="sh -c 'printf edited >\"\$0\"'" check edit ';vf'
check update ';vg' '{"trigger":";vg2","text":"from {clipboard} at {year}","apps":"NOTEPAD.EXE"}'
check field 0 trigger
check show ';vg2'
check export
check export "$work/export.json"
check want=4 import "$work/import.json"  # one refused: stored in part
check import "$work/export.json"
check render 'x {date} {time} {year} {random6} {clipboard} {unknown} {'
check match 'say ;vg2' ';vg2'
check pass 'say ;vg2' NOTEPAD.EXE
check pass 'say ;vi1'
check expand ';vg2' --dry-run
check rule NOTEPAD.EXE '{"allow":false,"prefix":";"}'
check rule GEDIT block --prefix ';'
check rules
check stats
check last
check delete ';vg2'
check want=1 delete ';vg2'

# run: the worker for a while, then SIGTERM.
rc=0
"${vg[@]}" "$te" run --desktop none --poll-ms 20 --dry-run >"$work/out" 2>"$work/err" &
pid=$!
# Until it has published its status (slow under memcheck), then a while.
for _ in $(seq 300); do "$te" status >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2
kill -TERM "$pid"
wait "$pid" || rc=$?
checked=$((checked + 1))
if [ "$rc" -ne 0 ]; then
  echo "valgrind te run: exit $rc" >&2
  cat "$work/err" >&2
  exit 1
fi

echo "valgrind: $checked te runs clean (no invalid access, no definite or indirect leak)"
