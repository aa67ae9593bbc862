#!/usr/bin/env bash
# `te` never loses, overwrites or leaks snippets: a store that cannot be
# read, a second process at work, an unusable lock file, linked stores.
# Usage: te_store_safety_test.sh PATH_TO_TE
set -euo pipefail
te=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APPDATA=$work/app XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config TMPDIR=$work/tmp
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR"
unset DISPLAY TE_STORE VISUAL
export TE_DESKTOP=none  # te run serves no desktop here
fail() { echo "FAIL: $*" >&2; exit 1; }
store=$APPDATA/Wrenfold/snippets.json
"$te" add '>>keep' 'kept'
# Without permission to read the store (root keeps no right to it either).
unreadable() {
  if [ "$(id -u)" = 0 ]; then setpriv --bounding-set=-dac_override,-dac_read_search "$@"; else "$@"; fi
}

# A store that cannot be read: commands that show, export, import or
# expand fail, say so and write nothing (te run would expand the seeds).
chmod 000 "$store"
echo '{"good":"backup"}' >"$work/backup.json"
echo '[{"trigger":">>in","text":"in"}]' >"$work/in.json"
while IFS='|' read -r args; do
  rc=0
  eval "unreadable timeout 20 \"\$te\" $args" >"$work/out" 2>"$work/err" || rc=$?
  [ "$rc" = 1 ] || fail "unreadable store: te $args exit $rc"
  grep -q "cannot read $store: " "$work/err" || fail "te $args said: $(cat "$work/err")"
done <<'CASES'
count
list
show '>>keep'
search kept
export "$work/backup.json"
--store "$store" export "$work/backup.json"
import "$work/in.json"
run --quiet
CASES
[ "$(cat "$work/backup.json")" = '{"good":"backup"}' ] || fail "the backup was overwritten"
chmod 600 "$store"

# An export replaces its file in one step: a new file, mode 0600.
before=$(stat -c %i "$work/backup.json")
(umask 022 && "$te" export "$work/backup.json")
after=$(stat -c %i:%a "$work/backup.json")
[ "${after%:*}" != "$before" ] && [ "${after#*:}" = 600 ] && grep -q '>>keep' "$work/backup.json" || fail "export in place"

# An unusable lock file: edits fail with the reason and write nothing.
rm -f "$store.lock" && mkdir "$store.lock"
cp "$store" "$work/before.json"
for args in "add '>>new' new" "delete '>>keep'" "import '$work/in.json'"; do
  if eval "\"\$te\" $args" 2>"$work/err"; then fail "te $args went ahead without the lock"; fi
  grep -q "cannot lock $store.lock: " "$work/err" || fail "te $args said: $(cat "$work/err")"
done
cmp -s "$store" "$work/before.json" || fail "an edit without the lock changed the store"
rmdir "$store.lock"

# te edit: the editor's file is private in $XDG_RUNTIME_DIR; when the
# snippet changed meanwhile, or the update fails, the edit is not applied
# and the edited text is kept.
cat >"$work/editor" <<'SH'
#!/bin/sh
dirname "$1" >"$TMPDIR/dir"; printf 'my new words\n' >"$1"; eval "$AFTER"
SH
chmod +x "$work/editor"
while IFS='|' read -r after message; do
  if AFTER=$after EDITOR=$work/editor "$te" edit '>>keep' 2>"$work/err"; then fail "edit ($after) applied"; fi
  grep -q "$message" "$work/err" || fail "edit ($after) said: $(cat "$work/err")"
  kept=$(sed -n 's/.*your text is kept in \(.*\)$/\1/p' "$work/err")
  [ "$(cat "$kept")" = 'my new words' ] && [ "$(stat -c %a "$kept")" = 600 ] || fail "edit ($after): text not kept"
  [ "$(cat "$TMPDIR/dir")" = "$XDG_RUNTIME_DIR" ] || fail "edit file in $(cat "$TMPDIR/dir")"
done <<CASES
"$te" update '>>keep' '{"trigger":">>keep","text":"kept","folder":"Moved"}'|changed while it was being edited
rm -f "$store.lock"; mkdir "$store.lock"|cannot lock $store.lock
CASES
rmdir "$store.lock"
"$te" show '>>keep' | grep -qF '"text":"kept","folder":"Moved"' || fail "edit undid another change: $("$te" show '>>keep')"
# The same when a second writer holds the store's lock while the edit is
# checked and changes the snippet before the edit's update gets the lock.
cat >"$work/writer" <<'SH'
#!/bin/sh
flock "$STORE.lock" sh -c 'touch "$TMPDIR/held"; sleep 1
  sed "s/\"folder\":\"Moved\"/\"folder\":\"Elsewhere\"/" "$STORE" >"$STORE.new" && mv "$STORE.new" "$STORE"' &
while [ ! -e "$TMPDIR/held" ]; do sleep 0.01; done
SH
chmod +x "$work/writer"
if AFTER="STORE='$store' '$work/writer'" EDITOR=$work/editor "$te" edit '>>keep' 2>"$work/err"; then
  fail "edit wrote over a change made under the store's lock"
fi
grep -q "changed while it was being edited" "$work/err" || fail "edit under a held lock said: $(cat "$work/err")"
"$te" show '>>keep' | grep -qF '"text":"kept","folder":"Elsewhere"' || fail "the other writer's change: $("$te" show '>>keep')"

# Rules set side by side are all kept.
for i in $(seq 20); do "$te" rule "prog$i" block & done
wait
[ "$("$te" rules | grep -o PROG | wc -l)" = 20 ] || fail "parallel rules: $("$te" rules)"

# A rules file that cannot be read is never taken as empty: `te rule`
# writes nothing, `te run` does not start, a running one keeps its rules;
# an entry that is not a whole rule is refused, not guessed.
rules=$APPDATA/Wrenfold/rules.json
cp "$rules" "$work/rules.before"
chmod 000 "$rules"
for args in "rule gedit block" "run --quiet" "rules"; do
  rc=0
  eval "unreadable timeout 20 \"\$te\" $args" >/dev/null 2>"$work/err" || rc=$?
  [ "$rc" = 1 ] && grep -q "cannot read $rules: " "$work/err" || fail "unreadable rules: te $args exit $rc: $(cat "$work/err")"
done
chmod 600 "$rules"
cmp -s "$rules" "$work/rules.before" || fail "an unreadable rules file was written over"
unreadable "$te" run --poll-ms 20 --quiet >/dev/null 2>"$work/run.err" &
run=$!
for _ in $(seq 50); do "$te" status | grep -q ' mode, up ' && break; sleep 0.1; done
cp "$rules" "$rules.new" && chmod 000 "$rules.new" && mv "$rules.new" "$rules"
for _ in $(seq 50); do grep -q "cannot read $rules: " "$work/run.err" && break; sleep 0.1; done
"$te" stop >/dev/null
wait "$run" || true
grep -q "te run: rules: cannot read $rules: " "$work/run.err" || fail "te run took an unreadable rules file: $(cat "$work/run.err")"
printf '[{"process":"KEEPASSXC","prefix":""}]' >"$rules"
if "$te" rules 2>"$work/err"; then fail "a rule without allow was guessed"; fi
grep -q "rule 1: \"allow\" must be true or false" "$work/err" || fail "malformed rule said: $(cat "$work/err")"
cp "$work/rules.before" "$rules"

# Onto a pipe, a terminal or a device an export is written in place; a
# write error there is a failure.
mkfifo "$work/fifo"
timeout 10 cat "$work/fifo" >"$work/from-fifo" &
reader=$!
timeout 10 "$te" export "$work/fifo" || fail "export to a named pipe failed"
wait "$reader" || true
[ -p "$work/fifo" ] && grep -q '>>keep' "$work/from-fifo" || fail "export to a named pipe: $(ls -l "$work/fifo")"
"$te" export /dev/stdout | grep -q '>>keep' || fail "export to /dev/stdout"
if mknod "$work/full" c 1 7 2>/dev/null; then  # a private /dev/full
  if "$te" export "$work/full" 2>"$work/err"; then fail "a write error on a device reported success"; fi
  [ -c "$work/full" ] && grep -q "$work/full: " "$work/err" || fail "export onto a device: $(cat "$work/err")"
fi

# A store and a rules file linked from elsewhere stay links; the files
# they point at get the changes.
mkdir -p "$work/dotfiles" && mv "$store" "$APPDATA/Wrenfold/rules.json" "$work/dotfiles/"
ln -s ../../dotfiles/snippets.json "$store"
ln -s "$work/dotfiles/rules.json" "$APPDATA/Wrenfold/rules.json"
"$te" add '>>linked' 'through the link'
"$te" rule viaLink block
[ -L "$store" ] && [ -L "$APPDATA/Wrenfold/rules.json" ] || fail "a link became a file"
grep -q '>>linked' "$work/dotfiles/snippets.json" || fail "the linked store missed the edit"
grep -q VIALINK "$work/dotfiles/rules.json" || fail "the linked rules file missed the rule"
# The lock belongs to the file the link names: a writer holding the
# target's lock keeps out an edit made through the link.
flock "$work/dotfiles/snippets.json.lock" sh -c 'touch "$TMPDIR/target-held"
  while [ -e "$TMPDIR/target-held" ]; do sleep 0.05; done' &
holder=$!
while [ ! -e "$TMPDIR/target-held" ]; do sleep 0.01; done
rc=0
"$te" add '>>during' 'while locked' 2>"$work/err" || rc=$?
rm "$TMPDIR/target-held"
wait "$holder"
[ "$rc" = 1 ] && grep -q "store is locked by another process" "$work/err" || fail "an edit through the link ignored the target's lock"
echo "te store safety: all checks passed"
