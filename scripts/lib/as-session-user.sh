#!/usr/bin/env bash
# Runs a test program as the user of the headless GNOME or KDE session
# that scripts/test-desktops.sh started (TE_SESSION_UID): the session bus
# admits only its own user, and KWin trusts programs by their path. Without
# TE_SESSION_UID (listing the tests) it runs the program as it is.
if [ -n "${TE_SESSION_UID:-}" ]; then
  exec setpriv --reuid="$TE_SESSION_UID" --regid="$TE_SESSION_UID" --clear-groups -- "$@"
fi
exec "$@"
