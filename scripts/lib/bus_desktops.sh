# Starting a private headless GNOME (mutter) or KDE Plasma (kwin_wayland)
# session, for the scripts that need one. Source this file, then call
# te_kwin_start or te_mutter_start BUILD_DIR; each exports XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, HOME and TE_SESSION_UID. The
# seat has no keyboard, so no window gets the keyboard focus, until
# te_bus_seat BUILD_DIR kde|gnome runs the keyboard stand-in.
# te_bus_session_stop ends it all.
#
# The compositor and its session bus run under dbus-run-session as an
# unprivileged user with a runtime folder of its own; the programs under
# test must run as that user too (scripts/lib/as-session-user.sh): the bus
# admits no other. The user is "nobody", since dbus-daemon needs a user
# the system knows. Debian's kwin_wayland carries a file capability that a
# container may not grant: a copy of the binary without it is run.

TE_SESSION_UID=$(id -u nobody)
te_bs_root=""
te_bs_pid=""
te_bs_helper_pid=""

te_bs_prepare() {
  te_bs_root=$(mktemp -d /tmp/te-session.XXXXXX)
  mkdir -p "$te_bs_root/run" "$te_bs_root/home/.local/share/applications"
  chmod 0711 "$te_bs_root"
  chmod 0700 "$te_bs_root/run"
}

# te_bs_run NAME COMMAND...: COMMAND as the session's user under a new
# session bus, after making the bus's address known.
te_bs_run() {
  local name=$1
  shift
  cat >"$te_bs_root/session.sh" <<SCRIPT
echo "\$DBUS_SESSION_BUS_ADDRESS" > "$te_bs_root/bus"
echo \$\$ > "$te_bs_root/compositor.pid"
dbus-update-activation-environment WAYLAND_DISPLAY=$name XDG_CURRENT_DESKTOP=\${XDG_CURRENT_DESKTOP:-} >/dev/null 2>&1
exec "\$@"
SCRIPT
  chown -R "$TE_SESSION_UID:$TE_SESSION_UID" "$te_bs_root"
  env -i PATH="$PATH" HOME="$te_bs_root/home" XDG_RUNTIME_DIR="$te_bs_root/run" XDG_CURRENT_DESKTOP="$TE_BS_CURRENT" \
    setpriv --reuid="$TE_SESSION_UID" --regid="$TE_SESSION_UID" --clear-groups \
    dbus-run-session -- bash "$te_bs_root/session.sh" "$@" </dev/null >>"$te_bs_root/session.log" 2>&1 &
  te_bs_pid=$!
  local i
  for i in $(seq 1 150); do
    [ -S "$te_bs_root/run/$name" ] && [ -s "$te_bs_root/bus" ] && break
    sleep 0.1
  done
  if [ ! -S "$te_bs_root/run/$name" ] || [ ! -s "$te_bs_root/bus" ]; then
    echo "the session did not start:" >&2
    cat "$te_bs_root/session.log" >&2
    return 1
  fi
  export XDG_RUNTIME_DIR="$te_bs_root/run" WAYLAND_DISPLAY=$name HOME="$te_bs_root/home" TE_SESSION_UID
  DBUS_SESSION_BUS_ADDRESS=$(cat "$te_bs_root/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

# te_bs_wait_name NAME: waits until the compositor owns NAME on its bus,
# which the desktop choice looks for.
te_bs_wait_name() {
  local i
  for i in $(seq 1 100); do
    setpriv --reuid="$TE_SESSION_UID" --regid="$TE_SESSION_UID" --clear-groups -- \
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true' && return 0
    sleep 0.1
  done
  echo "the session's compositor did not take $1 on its bus" >&2
  return 1
}

# te_bs_trust PROGRAM...: KWin lets these programs use fake input.
te_bs_trust() {
  local p
  for p in "$@"; do
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n' \
      "$(basename "$p")" "$p" >"$te_bs_root/home/.local/share/applications/te-test-$(basename "$p").desktop"
  done
  chown -R "$TE_SESSION_UID:$TE_SESSION_UID" "$te_bs_root/home"
}

# te_bs_helper MODE: the build's session helper in MODE, until the end.
te_bs_helper() {
  local build_dir=$1 mode=$2 line
  coproc TE_BS_HELPER { exec bash "$(dirname "${BASH_SOURCE[0]}")/as-session-user.sh" \
    "$build_dir/tests/desktops/te-session-helper" "$mode"; }
  te_bs_helper_pid=$TE_BS_HELPER_PID
  read -r -t 15 line <&"${TE_BS_HELPER[0]}" || true
  [ "$line" = ready ] || { echo "the session helper ($mode) did not start" >&2; return 1; }
}

# te_kwin_start BUILD_DIR PROGRAM...: KWin, trusting the programs named.
te_kwin_start() {
  local build_dir=$1
  shift
  te_bs_prepare
  cp /usr/bin/kwin_wayland "$te_bs_root/kwin_wayland"
  te_bs_trust "$build_dir/tests/desktops/te-session-helper" "$@"
  TE_BS_CURRENT=KDE te_bs_run kwin-1 "$te_bs_root/kwin_wayland" --virtual --width 1280 --height 720 --socket kwin-1 &&
    te_bs_wait_name org.kde.KWin
}

# te_mutter_start BUILD_DIR: Mutter without GNOME Shell.
te_mutter_start() {
  te_bs_prepare
  TE_BS_CURRENT=GNOME te_bs_run mutter-1 mutter --headless --wayland --no-x11 --wayland-display=mutter-1 \
    --virtual-monitor 1280x720 && te_bs_wait_name org.gnome.Mutter.RemoteDesktop
}

# te_bus_seat BUILD_DIR kde|gnome: a keyboard on the session's seat, kept
# until the session ends.
te_bus_seat() {
  te_bs_helper "$1" "$2-seat"
}

# Ends the session (the bus, the compositor and what runs on them) and
# removes its folder.
te_bus_session_stop() {
  if [ -n "$te_bs_helper_pid" ]; then kill "$te_bs_helper_pid" 2>/dev/null; wait "$te_bs_helper_pid" 2>/dev/null || true; fi
  if [ -n "$te_bs_pid" ]; then
    # The compositor first: dbus-run-session then ends its bus and itself.
    local c i
    c=$(cat "$te_bs_root/compositor.pid" 2>/dev/null || true)
    if [ -n "$c" ]; then
      kill "$c" 2>/dev/null || true
      for i in $(seq 1 30); do kill -0 "$c" 2>/dev/null || break; sleep 0.1; done
      kill -KILL "$c" 2>/dev/null || true
    fi
    wait "$te_bs_pid" 2>/dev/null || true
  fi
  # Clipboard keepers end by themselves once their compositor or bus is gone.
  te_bs_pid="" te_bs_helper_pid=""
  [ -n "$te_bs_root" ] && rm -rf "$te_bs_root"
  te_bs_root=""
  return 0
}
