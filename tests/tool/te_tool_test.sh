#!/usr/bin/env bash
# Drives the `te` host through the shared library, as a user would.
# Usage: te_tool_test.sh PATH_TO_TE
set -euo pipefail
te=$1
# The instance lock of `te run` then lies beside the store, in this test's
# own folder.
export APPDATA=$(mktemp -d) XDG_RUNTIME_DIR=
unset TE_STORE
unset DISPLAY  # the engine alone: no desktop
export TE_DESKTOP=none  # which te run is told, to run anyway
trap 'rm -rf "$APPDATA"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$("$te" count)" = 3 ] || fail "seed count"
[ "$("$te" field 0 trigger)" = ">>addr" ] || fail "field"
"$te" list --tsv | head -1 | grep -q $'^>>addr\tHome\t\\*\t123 Example Street$' || fail "list line"

"$te" add '{"trigger":">>sig","text":"Best,\nMe","folder":"Mail","apps":"outlook"}'
[ "$("$te" show '>>sig')" = '{"trigger":">>sig","text":"Best,\nMe","folder":"Mail","apps":"outlook"}' ] || fail "show"
"$te" update '>>sig' '{"trigger":">>sig2","text":"x"}'
[ "$("$te" field 3 trigger)" = ">>sig2" ] || fail "rename"

# A failing call prints the last error and exits non-zero.
if "$te" add '{"trigger":">>addr"}' 2>"$APPDATA/err.txt"; then fail "duplicate accepted"; fi
grep -qx "te add: >>addr is a trigger already: choose another one, or change that snippet instead." "$APPDATA/err.txt" || fail "message: $(cat "$APPDATA/err.txt")"
if "$te" delete nope 2>/dev/null; then fail "delete of a missing trigger"; fi

# Export to a file, change the table, import the export file back.
out=$APPDATA/export.json
"$te" export "$out"
cmp -s "$out" "$APPDATA/Wrenfold/snippets.json" || fail "export differs from the store"
"$te" delete '>>sig2'
"$te" update '>>addr' '{"trigger":">>addr","text":"changed"}'
[ "$("$te" import "$out")" = "1 added, 3 replaced: >>addr, >>email, >>signoff" ] || fail "import count"
cmp -s "$out" "$APPDATA/Wrenfold/snippets.json" || fail "import did not restore the table"
# One refused beside one stored: both said, and exit 4 (not a failure's 1).
echo '[{"trigger":">>addr","text":"again"},{"text":"no trigger"}]' >"$APPDATA/part.json"
rc=0
"$te" import "$APPDATA/part.json" >"$APPDATA/out.txt" 2>"$APPDATA/err.txt" || rc=$?
[ "$rc" = 4 ] && [ "$(cat "$APPDATA/out.txt")" = "0 added, 1 replaced: >>addr" ] || fail "partial import: exit $rc"
grep -qx "te import: 1 refused: snippet 2 has no trigger" "$APPDATA/err.txt" || fail "refused: $(cat "$APPDATA/err.txt")"
echo '[{"trigger":">>addr","text":"third"},{"trigger":">>brand","text":"new"}]' >"$APPDATA/keep.json"
[ "$("$te" import --keep-existing "$APPDATA/keep.json")" = "1 added, 1 kept: >>addr" ] || fail "--keep-existing"
"$te" show '>>addr' | grep -qF '"text":"again"' || fail "--keep-existing replaced a snippet"
echo '[' > "$APPDATA/bad.json"
if "$te" import "$APPDATA/bad.json" 2>/dev/null; then fail "bad import accepted"; fi
# Expansion subcommands (no desktop here: typing has nowhere to go, which
# still counts as an expansion).
[ "$("$te" render '{year}')" = "$(date +%Y)" ] || fail "render"
[ "$("$te" match 'hi >>addr' '>>addr')" = "match at byte 3" ] || fail "match"
if "$te" match 'hi>>addr' '>>addr' >/dev/null; then fail "match after a word byte"; fi
[ "$("$te" pass 'x >>email' NOTEPAD.EXE)" = "expanded: you@example.com" ] || fail "pass"
[ "$("$te" expand '>>signoff' --dry-run)" = $'Kind regards,\nName' ] || fail "expand"
if "$te" rule notepad '[1]' 2>/dev/null; then fail "rule accepted an array"; fi
[ "$("$te" rules)" = "[]" ] || fail "rules"

# te run stops cleanly on SIGTERM and prints the statistics.
"$te" run --poll-ms 20 > "$APPDATA/run.out" 2>/dev/null &
pid=$!
sleep 0.3
kill -TERM "$pid"
wait "$pid" || fail "run exit status"
grep -q '"running":false' "$APPDATA/run.out" || fail "run output: $(cat "$APPDATA/run.out")"
if "$te" run --poll-ms 2>/dev/null; then fail "run accepted a flag without its value"; fi
# A snippet's own settings: te add and te edit set them, te show prints
# them, and an edit of the text keeps them.
"$te" add btw 'by the way' --word-triggers on --propagate-case on
EDITOR="sed -i s/way/road/" "$te" edit btw
"$te" edit btw --propagate-case default
[ "$("$te" show btw)" = '{"trigger":"btw","text":"by the road","folder":"","apps":"*","settings":{"word_triggers":true}}' ] ||
  fail "settings: $("$te" show btw)"
if "$te" add x y --locale xx_NOWHERE 2>/dev/null; then fail "unknown locale accepted"; fi
echo "te tool: all checks passed"
