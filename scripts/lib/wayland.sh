# Starting a private headless Wayland compositor, for the scripts that need
# one. Source this file, then call te_sway_start BUILD_DIR or
# te_weston_start; each sets XDG_RUNTIME_DIR and WAYLAND_DISPLAY.
# te_sway_start_bare starts a second sway beside it, with no keyboard.
#
# sway and weston refuse or dislike running as root, and the tests run as
# root: the compositor runs as an unprivileged user (setpriv) with a
# runtime folder of its own, whose socket is then opened to every user, so
# the tests (as root, and as an ordinary user) can connect.

TE_WAYLAND_UID=${TE_WAYLAND_UID:-4242}
te_wl_root=""
te_wl_roots=()
te_wl_pids=()

te_wl_prepare() {
  te_wl_root=$(mktemp -d /tmp/te-wayland.XXXXXX)
  te_wl_roots+=("$te_wl_root")
  mkdir -p "$te_wl_root/run" "$te_wl_root/home"
  chown -R "$TE_WAYLAND_UID:$TE_WAYLAND_UID" "$te_wl_root"
  chmod 0711 "$te_wl_root" "$te_wl_root/run"
  export XDG_RUNTIME_DIR="$te_wl_root/run"
}

# te_wl_as_user COMMAND...: runs the command in the background as the
# unprivileged user, with a headless wlroots environment.
te_wl_as_user() {
  env -i PATH="$PATH" HOME="$te_wl_root/home" XDG_RUNTIME_DIR="$te_wl_root/run" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    setpriv --reuid="$TE_WAYLAND_UID" --regid="$TE_WAYLAND_UID" --clear-groups "$@" \
    </dev/null >>"$te_wl_root/compositor.log" 2>&1 &
  te_wl_pids+=($!)
}

# Waits for the socket, opens it to every user, exports WAYLAND_DISPLAY.
te_wl_await_socket() {
  local name=$1 i
  for i in $(seq 1 100); do
    [ -S "$te_wl_root/run/$name" ] && break
    sleep 0.1
  done
  if [ ! -S "$te_wl_root/run/$name" ]; then
    echo "the compositor did not start:" >&2
    cat "$te_wl_root/compositor.log" >&2
    return 1
  fi
  chmod 0666 "$te_wl_root/run/$name"
  export WAYLAND_DISPLAY=$name
}

# sway with one 1280x800 output and no Xwayland, in a folder of its own.
te_sway_launch() {
  te_wl_prepare
  printf 'output HEADLESS-1 resolution 1280x800\nxwayland disable\n' >"$te_wl_root/sway.conf"
  te_wl_as_user sway -c "$te_wl_root/sway.conf"
  te_wl_await_socket wayland-1
}

# te_sway_start BUILD_DIR: sway with the build's stand-in keyboard on its
# seat; its process id goes into TE_WL_COMPOSITOR_PID.
te_sway_start() {
  local build_dir=$1 line
  te_sway_launch || return 1
  export TE_WL_COMPOSITOR_PID=${te_wl_pids[-1]}
  coproc TE_SEAT { exec "$build_dir/tests/wayland/te-seat-keyboard"; }
  te_wl_pids+=($TE_SEAT_PID)
  read -r -t 10 line <&"${TE_SEAT[0]}" || true
  [ "$line" = ready ] || { echo "the stand-in keyboard did not start" >&2; return 1; }
}

# te_sway_start_bare: after te_sway_start, a second sway whose seat has no
# keyboard (as on a touch screen); its socket's full path goes into
# TE_WL_BARE_DISPLAY, and XDG_RUNTIME_DIR and WAYLAND_DISPLAY still name
# the first one.
te_sway_start_bare() {
  local root=$te_wl_root runtime=$XDG_RUNTIME_DIR display=$WAYLAND_DISPLAY
  te_sway_launch || return 1
  export TE_WL_BARE_DISPLAY="$te_wl_root/run/wayland-1"
  te_wl_root=$root
  export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$display
}

te_weston_start() {
  te_wl_prepare
  te_wl_as_user weston --backend=headless-backend.so --socket=weston-1 --idle-time=0
  te_wl_await_socket weston-1
}

# Stops every compositor started here and removes their folders.
te_wl_stop() {
  local pid root
  for pid in "${te_wl_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  te_wl_pids=()
  for root in "${te_wl_roots[@]}"; do rm -rf "$root"; done
  te_wl_roots=()
  te_wl_root=""
  unset TE_WL_BARE_DISPLAY TE_WL_COMPOSITOR_PID
}
