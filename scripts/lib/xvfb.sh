# Starting a private Xvfb, for the scripts that need an X display.
# Source this file, then call te_xvfb_start; it sets DISPLAY and
# te_xvfb_pid. The server picks a free display number itself (-displayfd),
# so scripts started side by side never race for one.

te_xvfb_pid=""

# te_xvfb_start [SCREEN_GEOMETRY]: starts Xvfb with a US keyboard and no
# window manager, waits until it answers, exports DISPLAY.
te_xvfb_start() {
  local geometry=${1:-1280x800x24} fdfile i
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -noreset 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  te_xvfb_pid=$!
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    kill -0 "$te_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    rm -f "$fdfile"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
  rm -f "$fdfile"
}

# Stops the server started by te_xvfb_start, if any.
te_xvfb_stop() {
  [ -n "$te_xvfb_pid" ] || return 0
  kill "$te_xvfb_pid" 2>/dev/null || true
  wait "$te_xvfb_pid" 2>/dev/null || true
  te_xvfb_pid=""
}
