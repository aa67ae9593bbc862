#!/usr/bin/env bash
# Takes the README's pictures of the snippet manager: opens the window on a
# virtual X display of its own, over a store of a handful of snippets in a
# temporary folder, and has the program draw itself into a PNG; then the
# snippet picker, searching "anna", at 200 % scaling into picker.png beside it.
#
#   scripts/manager-screenshot.sh [BUILD_DIR] [OUT_PNG] [KIND]
#     defaults: build/linux, docs/manager.png, manager
#   KIND: manager (the window over those snippets, and the picker searching
#   them at 200 % beside it, picker.png), first-start (the window's first
#   start on an empty store, with its strip) or replace-question (an import
#   that would replace a snippet, asking).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/linux}
out=${2:-docs/manager.png}
kind=${3:-manager}
manager=$build/tools/manager/velmora-manager
te=$build/tools/te/te
[ -x "$manager" ] && [ -x "$te" ] || { echo "manager-screenshot: build $manager and $te first" >&2; exit 1; }

. scripts/lib/xvfb.sh
work=$(mktemp -d)
cleanup() {
  te_xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

te_xvfb_start 1280x800x24
export APPDATA="$work" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb

cat >"$work/snippets.json" <<'JSON'
[{"trigger":";reply","folder":"Mail","apps":"*","text":"Hi there,\n\nthanks for your note of {date}. I will get back to you by Friday.\n\nBest regards,\nAnna"},
 {"trigger":";sig","folder":"Mail","apps":"*","text":"Best regards,\nAnna Lindqvist\nVelmora Labs"},
 {"trigger":";addr","folder":"Home","apps":"*","text":"Anna Lindqvist\n12 Harbour Road\nBristol BS1 4QA"},
 {"trigger":";phone","folder":"Home","apps":"*","text":"+44 117 496 0123"},
 {"trigger":";mtg","folder":"Work","apps":"*","text":"Could we meet on {date} at 14:00 to go through {clipboard}?"},
 {"trigger":";inv","folder":"Work","apps":"*","text":"Invoice INV-{year}-{random6}"},
 {"trigger":";ts","folder":"Notes","apps":"*","text":"[{date} {time}] "},
 {"trigger":";lgtm","folder":"Code","apps":"code,firefox","text":"Looks good to me. Merging once CI is green."},
 {"trigger":";bug","folder":"Code","apps":"*","text":"Steps to reproduce:\n1. \nExpected:\nActual:"}]
JSON
# Only these snippets: the first-use examples are removed once the store
# holds others (an empty store would bring them back).
mkdir -p "$(dirname "$out")"
case $kind in
  first-start)
    "$manager" --screenshot "$out" ;;
  replace-question)
    "$te" add '>>regards' $'Best regards,\nAnna' >/dev/null
    printf '%s\n' '[{"trigger":">>regards","text":"Kind regards, A."},{"trigger":";thx","text":"Thank you!"}]' \
      >"$work/import.json"
    "$manager" --import "$work/import.json" --screenshot "$out" ;;
  *)
    "$te" import "$work/snippets.json" >/dev/null
    for t in '>>addr' '>>email' '>>signoff'; do "$te" delete "$t" >/dev/null; done
    "$manager" --screenshot "$out"
    picker_out=$(dirname "$out")/picker.png
    QT_SCALE_FACTOR=2 "$manager" --no-engine --screenshot-picker "$picker_out:anna"
    echo "manager-screenshot: wrote $picker_out" ;;
esac
echo "manager-screenshot: wrote $out"
