# The programs a script starts in the background, and waiting for one to be
# ready. Source this file; add each child's pid to te_children.

te_children=()

# Stops the children, last started first (so an X server started first
# goes last).
te_stop_children() {
  local i
  for ((i = ${#te_children[@]} - 1; i >= 0; i--)); do
    kill "${te_children[i]}" 2>/dev/null || true
    wait "${te_children[i]}" 2>/dev/null || true
  done
  te_children=()
}

# Waits (up to $2 tenths of a second) until the command in $1 succeeds.
wait_until() {
  local i
  for i in $(seq 1 "$2"); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}
