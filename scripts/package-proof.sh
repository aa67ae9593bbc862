#!/usr/bin/env bash
# Proves the packages on fresh Debian 12 machines: two bare roots made by
# debootstrap (--variant=minbase) from this machine's own Debian mirror.
#
#   bash scripts/package-proof.sh [WORK_DIR]       (default build/proof; as root)
#
# 1. The first root gets a copy of this tree (the files git knows, as they
#    are now) and ../shared/third_party, and runs `bash scripts/package.sh`
#    there: it installs what the build needs, builds the packages and checks
#    them; then both are installed with apt and a host program is built
#    against them (tests/package/proof/build_root.sh).
# 2. The second root installs only velmora-textexpander_<version>_amd64.deb
#    with `apt-get install ./…deb`, apt resolving its dependencies, and an
#    ordinary user runs te --version, te add and te list, opens the manager
#    window on an Xvfb, and has `te run --mode keys --synthetic-keys` expand
#    a trigger xdotool types into xterm; `apt-get remove` then leaves the
#    user's snippets as they were (tests/package/proof/run_root.sh).
#
# Each root runs in mount and PID namespaces of its own: its mounts and
# every process started in it end with it. WORK_DIR keeps the packages,
# the list of packages apt pulled in, the manager's picture and the logs;
# the roots are removed at the end (TE_PROOF_KEEP_ROOTS=1 keeps them), the
# downloaded .debs are kept in WORK_DIR/cache for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
work=$(mkdir -p "${1:-build/proof}" && cd "${1:-build/proof}" && pwd)
suite=bookworm

log() { printf 'package-proof: %s\n' "$*" >&2; }
[ "$(id -u)" = 0 ] || { log "run as root (debootstrap and chroot)"; exit 1; }
command -v debootstrap >/dev/null || bash scripts/install-deps.sh

. scripts/lib/debian_mirror.sh
mirror=$(debian_mirror_uri)
[ -n "$mirror" ] || { log "no Debian mirror entry found in /etc/apt"; exit 1; }

# A root is only ever removed with nothing mounted in it.
remove_root() {
  if findmnt -rn -o TARGET | grep -q "^$1\(/\|$\)"; then
    log "$1 still has mounts: not removing it"
    return 1
  fi
  rm -rf "$1"
}

# A bare Debian 12 root in $1, with name resolution and no service starts.
make_root() {
  remove_root "$1"
  mkdir -p "$work/cache"
  debootstrap --variant=minbase --cache-dir="$work/cache" "$suite" "$1" "$mirror" >"$1.debootstrap.log" 2>&1 ||
    { log "debootstrap failed: $1.debootstrap.log"; tail -n 20 "$1.debootstrap.log" >&2; return 1; }
  cp /etc/resolv.conf "$1/etc/resolv.conf"
  printf '#!/bin/sh\nexit 101\n' >"$1/usr/sbin/policy-rc.d"
  chmod 755 "$1/usr/sbin/policy-rc.d"
}

# Runs a command in root $1, in new mount and PID namespaces, with /proc,
# /sys (read-only), /dev and a private /dev/shm.
in_root() {
  local root=$1
  shift
  unshare --mount --pid --fork --propagation private bash -c '
    root=$1; shift
    mount -t proc proc "$root/proc"
    mount -t sysfs -o ro sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    exec chroot "$root" "$@"' in_root "$root" "$@"
}

# This tree as git knows it, with the files as they are now.
copy_source() {
  local dest=$1/src/velmora-textexpander
  mkdir -p "$dest" "$1/src/shared"
  git ls-files -z --cached --others --exclude-standard |
    xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
    tar --null -T - -cf - | tar -xf - -C "$dest"
  cp -a ../shared/third_party "$1/src/shared/"
}

timed() {
  local start=$SECONDS
  "$@"
  log "$1 ${2:-}: $((SECONDS - start)) s"
}

build_packages() {
  local root=$work/build-root
  timed make_root "$root"
  copy_source "$root"
  timed in_root "$root" bash /src/velmora-textexpander/tests/package/proof/build_root.sh
  rm -rf "$work/packages"
  mkdir -p "$work/packages"
  cp "$root"/src/velmora-textexpander/build/package/packages/*.deb "$work/packages/"
}

use_package() {
  local root=$work/run-root
  timed make_root "$root"
  mkdir -p "$root/proof"
  cp "$work"/packages/velmora-textexpander_*_amd64.deb "$root/proof/"
  cp "$source_dir/tests/package/proof/run_root.sh" "$source_dir/scripts/lib/children.sh" "$root/proof/"
  timed in_root "$root" bash /proof/run_root.sh
  rm -rf "$work/results"
  cp -a "$root/proof" "$work/results"
  rm -f "$work"/results/*.deb "$work"/results/*.sh
}

main() {
  local start=$SECONDS
  log "fresh Debian 12 roots from $mirror in $work"
  build_packages
  use_package
  if [ "${TE_PROOF_KEEP_ROOTS:-0}" != 1 ]; then
    remove_root "$work/build-root"
    remove_root "$work/run-root"
  fi
  log "proved in $((SECONDS - start)) s; packages in $work/packages, what apt pulled in and the manager's picture in $work/results"
}

main
