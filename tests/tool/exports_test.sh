#!/usr/bin/env bash
# The shared library exports exactly the 22 te_ functions.
set -euo pipefail
lib=$1
expected="te_expand te_expand_in_front te_last_error te_last_expanded te_match_trailing_trigger te_render te_rule_set
te_rules_json te_snippet_add te_snippet_count te_snippet_delete te_snippet_field te_snippet_import
te_snippet_json te_snippet_update te_snippets_json te_start te_stats_json te_status te_stop
te_watch_pass te_watch_pass_text"
actual=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TDBRW]$/ {print $3}' | sed 's/@.*//' | sort)
want=$(echo $expected | tr ' ' '\n' | sort)
if [ "$actual" != "$want" ]; then
  echo "exports differ:"; diff <(echo "$want") <(echo "$actual") || true
  exit 1
fi
echo "22 exports, nothing else"
