#!/usr/bin/env bash
# `te` as a person uses it on a desktop: friendly forms, help and exit
# statuses, the editor, the background instance and autostart. Each case
# drives the built binary against stores in a temporary folder.
# Usage: te_desktop_test.sh PATH_TO_TE
set -euo pipefail
te=$1
work=$(mktemp -d)
run_pid=
trap '[ -z "$run_pid" ] || kill "$run_pid" 2>/dev/null; rm -rf "$work"' EXIT
export APPDATA=$work/app XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config TMPDIR=$work
mkdir -p "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS TE_DESKTOP TE_STORE VISUAL
fail() { echo "FAIL: $*" >&2; exit 1; }

# Exit statuses: help and version 0, usage errors 2 (one line), failures 1.
while IFS='|' read -r want args; do
  rc=0
  eval "\"\$te\" $args" >"$work/out" 2>"$work/err" </dev/null || rc=$?
  [ "$rc" = "$want" ] || fail "te $args: exit $rc, wanted $want"
  if [ "$want" != 0 ]; then [ "$(wc -l <"$work/err")" = 1 ] || fail "te $args: stderr not one line"; fi
done <<'CASES'
0|
0|--help
0|help
0|help add
0|add --help
2|bogus
2|add
2|run --mode typing
1|run --desktop gnome
2|field x trigger
2|rule notepad maybe
2|add '{"trigger":">>j","text":"j"}' --folder F
1|delete nope
1|search nothing-has-this
1|run
CASES
# With no desktop at all, te run says so rather than run for nothing.
[[ "$("$te" run 2>&1)" == "te run: no desktop here: "* ]] || fail "te run without a desktop: $("$te" run 2>&1)"
[ "$("$te" --version)" = "te $(sed -n 's/^project(.* VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" ] ||
  fail "version: $("$te" --version)"
[ "$("$te" delete nope 2>&1)" = 'te delete: no such trigger: nope' ] || fail "failure message"

# Messages say what to do in plain words; a trigger that begins another
# (or that another begins) is noted, naming both, unless it waits for a
# word separator.
echo '[' >"$work/bad.json" && printf 'a,b\n' >"$work/x.csv" && echo '[{"trigger":">>add","text":"x"}]' >"$work/add.json"
while IFS='|' read -r args said; do
  eval "\"\$te\" --store \"\$work/words.json\" $args" >/dev/null 2>"$work/err" </dev/null || true
  grep -qF -- "$said" "$work/err" || fail "te $args: $(cat "$work/err")"
done <<'CASES'
add '>>sig' Best|te add: note: >>sig begins >>signoff, so >>signoff never expands: >>sig expands on the way. Give one of them a longer trigger
update '>>email' '{"trigger":">>si","text":"x"}'|te update: note: >>si begins >>sig, so >>sig never expands
import "$work/add.json"|te import: note: >>add begins >>addr, so >>addr never expands
update '>>sig' hello|te update: Write the snippet as a JSON object, such as {"trigger":">>hi","text":"Hello"}. To change only its text: te edit '>>sig'.
add '{"trigger":"","text":"x"}'|te add: Give the snippet a trigger: the short text you type to have it expanded, such as >>hi.
import "$work/bad.json"|: it is not JSON (unexpected end of data at line 2, column 1). Import takes a file that Export
import "$work/x.csv"|at line 1, column 1). Import takes
lst|te: lst is not a command; did you mean `te list`?
stats|te stats: the numbers of this te command alone; `te status` shows those of the engine
CASES
"$te" --store "$work/words.json" add '>>s' x --word-triggers on 2>"$work/err"
[ ! -s "$work/err" ] || fail "a word trigger noted: $(cat "$work/err")"
"$te" --store "$work/words.json" stats 2>/dev/null | grep -q '"snippets":6}' || fail "stats does not count the store"
# Help: everyday commands first, the others in a group of their own.
"$te" --help | awk '/^Commands:/ {c = NR} / add  / {a = NR} /^For scripts and tests:/ {s = NR} / count  / {n = NR}
  END {exit !(c && c < a && a < s && s < n)}' || fail "help order: $("$te" --help)"

# The friendly and the JSON add write the same store; a store named with
# --store or TE_STORE starts from the seeds, never from the default store.
"$te" add '>>home' 'only in the default store'
"$te" --store "$work/a.json" add '>>sig' $'Best,\nMe' --folder Mail --apps outlook
TE_STORE=$work/b.json "$te" add '{"trigger":">>sig","text":"Best,\nMe","folder":"Mail","apps":"outlook"}'
cmp -s "$work/a.json" "$work/b.json" || fail "friendly and JSON add differ"
if grep -q '>>home' "$work/a.json"; then fail "--store took the default store's snippets"; fi
[ "$("$te" --store "$work/a.json" count)" = 4 ] || fail "--store count"
[ "$("$te" path)" = "$APPDATA/Wrenfold/snippets.json" ] || fail "path"
[ "$("$te" path --store "$work/a.json")" = "$work/a.json" ] || fail "path --store"
# te run on another store expands that store's snippets (here the seeds:
# it does not exist yet), never the default store's.
"$te" --store "$work/new.json" run --desktop none --poll-ms 20 >"$work/run.out" 2>/dev/null &
run_pid=$!
for _ in $(seq 50); do "$te" status | grep -q ' mode, up ' && break; sleep 0.1; done
"$te" stop >/dev/null && wait "$run_pid" || fail "te --store run"
run_pid=
grep -q '"snippets":3}' "$work/run.out" || fail "te --store run held other snippets: $(cat "$work/run.out")"
# Choosing a store touches no desktop: it works where the Wayland
# compositor cannot be reached.
for args in "add '>>w' on-wayland" "count" "edit '>>w'"; do
  eval "TE_DESKTOP=wayland WAYLAND_DISPLAY=\$work/no-compositor EDITOR=true \"\$te\" --store \"\$work/w.json\" $args" \
    >/dev/null 2>"$work/err" || fail "--store with an unreachable Wayland: te $args: $(cat "$work/err")"
done

# Standard input: only one final newline is dropped.
printf 'two\nlines\n\n' | "$te" add '>>in'
"$te" add '>>doc' <<'DOC'
Dear team,
  indented
DOC
[ "$("$te" show '>>in')" = '{"trigger":">>in","text":"two\nlines\n","folder":"","apps":"*"}' ] || fail "stdin"
"$te" show '>>doc' | grep -qF '"text":"Dear team,\n  indented",' || fail "here-document"

# te edit: the editor gets a private temporary file, which is gone after.
cat >"$work/editor" <<'SH'
#!/bin/sh
stat -c %a "$1" >"$TMPDIR/mode"; echo "$1" >"$TMPDIR/file"; printf 'Regards,\nMe\n' >"$1"
SH
chmod +x "$work/editor"
EDITOR=$work/editor "$te" edit '>>sig' --store "$work/a.json"
[ "$("$te" --store "$work/a.json" show '>>sig')" = '{"trigger":">>sig","text":"Regards,\nMe","folder":"Mail","apps":"outlook"}' ] ||
  fail "edit: $("$te" --store "$work/a.json" show '>>sig')"
[ "$(cat "$work/mode")" = 600 ] && [ ! -e "$(cat "$work/file")" ] || fail "edit file mode or leftover"
for editor in true 'sh -c ": >\"\$0\""'; do  # saved unchanged, saved empty
  EDITOR=$editor "$te" edit '>>in' 2>/dev/null
  "$te" show '>>in' | grep -qF '"text":"two\nlines\n"' || fail "edit with $editor changed the text"
done
if EDITOR=false "$te" edit '>>in' 2>/dev/null; then fail "a failed editor reported success"; fi

# An export holds snippets: readable by the user alone whatever the umask.
(umask 022 && "$te" export "$work/export.json")
[ "$(stat -c %a "$work/export.json")" = 600 ] || fail "export mode"

# The table fits the terminal, cut by character cells; search ignores case.
"$te" add '>>jp' 'これは日本語のとても長いテキストです。まだまだ続きます。ÄRGER'
COLUMNS=40 "$te" list >"$work/table"
[ "$(LC_ALL=C.UTF-8 wc -L <"$work/table")" -le 40 ] || fail "table wider than 40 cells"
COLUMNS=200 "$te" list | grep -q '^>>addr .*Street⏎Auckland 1010⏎New' || fail "table line breaks"
[ "$("$te" search ärger JAPAN 2>/dev/null; echo $?)" = 1 ] || fail "search needs every word"
[ "$("$te" search --tsv ärger これ | cut -f1)" = '>>jp' ] || fail "search across case"

# One te run per user and display; status and stop reach it, and say which
# desktop it serves (with no display: none).
"$te" run --desktop none --poll-ms 20 >"$work/run.out" 2>"$work/run.err" &
run_pid=$!
for _ in $(seq 50); do "$te" status | grep -q ' mode, up ' && break; sleep 0.1; done  # published
"$te" status | grep -q "^te is running (te run): pid $run_pid, clipboard mode" || fail "status: $("$te" status)"
"$te" status | grep -qx "desktop: none" || fail "status desktop: $("$te" status)"
# Typed triggers by default; where the desktop cannot watch keys, the
# clipboard, with the reason.
grep -q "^te: typed triggers cannot run here (.*): clipboard mode runs instead$" "$work/run.err" ||
  fail "fallback reason: $(cat "$work/run.err")"
if "$te" run --desktop none 2>"$work/err"; then fail "a second te run started"; fi
grep -qx "te run: te is already running (pid $run_pid, te run)" "$work/err" || fail "refusal: $(cat "$work/err")"
[ "$("$te" stop)" = "te stopped (pid $run_pid)" ] || fail "stop"
wait "$run_pid" || fail "run exit status"
run_pid=
grep -q '"running":false' "$work/run.out" || fail "statistics after stop"
[ "$("$te" status; echo $?)" = $'te is not running\n3' ] || fail "status after stop"
# The lock names the desktop served, not $DISPLAY: a te run serving no
# desktop with DISPLAY set and one without DISPLAY are the same instance.
DISPLAY=:77 "$te" run --desktop none --poll-ms 20 >/dev/null 2>&1 &
run_pid=$!
for _ in $(seq 50); do "$te" status | grep -q ' mode, up ' && break; sleep 0.1; done
rc=0
timeout 10 "$te" run --desktop none --quiet 2>"$work/err" || rc=$?
[ "$rc" = 1 ] && grep -q "already running (pid $run_pid" "$work/err" || fail "two te run on one desktop: exit $rc"
"$te" stop >/dev/null && wait "$run_pid" || fail "stop the te run serving none"
run_pid=

# A rule is kept beside the store for every later te and a running te run;
# allowing again with no prefix removes it.
"$te" rule gedit block
[ "$("$te" rules)" = '[{"process":"GEDIT","allow":0,"prefix":""}]' ] || fail "kept rule: $("$te" rules)"
[ "$(stat -c %a "$APPDATA/Wrenfold/rules.json")" = 600 ] || fail "rules file mode"
"$te" rule gedit allow
[ "$("$te" rules)" = '[]' ] || fail "removed rule: $("$te" rules)"

# Autostart: an entry that runs this te with the options given, in place
# of the manager window's: the two never both start with the session.
entry=$XDG_CONFIG_HOME/autostart/velmora-te.desktop
manager_entry=$XDG_CONFIG_HOME/autostart/velmora-manager.desktop
mkdir -p "${entry%/*}" && printf '[Desktop Entry]\n' >"$manager_entry"
"$te" autostart on --mode hotkey --hotkey 'CTRL+SHIFT+E' --synthetic-keys --desktop x11 --store "$work/a b.json" >"$work/out"
[ ! -e "$manager_entry" ] && grep -qx "velmora-manager no longer starts with your desktop session" "$work/out" ||
  fail "the manager's autostart entry: $(cat "$work/out")"
grep -qxF "Exec=$(readlink -f "$te") run --mode hotkey --hotkey CTRL+SHIFT+E --synthetic-keys --desktop x11 --store \"$work/a b.json\"" "$entry" ||
  fail "autostart entry: $(cat "$entry")"
"$te" autostart off >/dev/null
[ ! -e "$entry" ] || fail "autostart off left the entry"
echo "te desktop: all checks passed"
