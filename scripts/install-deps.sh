#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Does nothing when all of it is already present. Run as root (or via sudo).
#
#   install-deps.sh             everything
#   install-deps.sh --package   only what scripts/package.sh needs to build
#                               and check the Debian packages
#
# yyjson 0.12 is not in Debian 12: its two packages are taken by name from
# Debian unstable, through a temporary apt source list made from this
# machine's own Debian mirror entry. The machine's apt configuration is not
# changed.
set -euo pipefail

# Build tools and libraries from the machine's own release.
TE_DEBIAN_PACKAGES=(
  build-essential cmake pkgconf git ca-certificates locales
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev
  clang libclang-rt-14-dev valgrind
  libx11-dev libxtst-dev libxfixes-dev x11-utils xvfb xclip xdotool xauth
  libxi-dev libxres-dev libxkbcommon-dev libxkbcommon-x11-dev x11-xkb-utils
  libgtk-3-dev
  mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine
  qt6-base-dev fonts-dejavu-core
  chromium firefox-esr xterm openbox
  libwayland-dev libwayland-bin wayland-protocols libevdev-dev
  sway foot wl-clipboard weston wtype qt6-wayland
  libsystemd-dev plasma-wayland-protocols kwin-wayland mutter
  file help2man librsvg2-bin lintian appstream desktop-file-utils debootstrap unzip
)
# What only the tests use, left out by --package. (The packages link yyjson
# in from its release archive, so --package takes no yyjson either.)
TE_TEST_ONLY_PACKAGES=(
  git ca-certificates libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev valgrind x11-utils xvfb xclip xdotool xauth x11-xkb-utils
  libgtk-3-dev mingw-w64 g++-mingw-w64-x86-64-posix wine64 wine fonts-dejavu-core
  chromium firefox-esr xterm openbox sway foot wl-clipboard weston wtype qt6-wayland debootstrap unzip
  kwin-wayland mutter
)
TE_YYJSON_SERIES="0.12"
te_package_only=0

log() { printf 'install-deps: %s\n' "$*" >&2; }

. "$(dirname "$0")/lib/debian_mirror.sh"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

wanted_debian_packages() {
  local p
  for p in "${TE_DEBIAN_PACKAGES[@]}"; do
    if [ "$te_package_only" = 1 ] && [[ " ${TE_TEST_ONLY_PACKAGES[*]} " == *" $p "* ]]; then
      continue
    fi
    echo "$p"
  done
}

missing_debian_packages() {
  local p
  for p in $(wanted_debian_packages); do
    dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null | grep -qx installed || echo "$p"
  done
}

yyjson_version() {
  dpkg-query -W -f='${Version}\n' libyyjson-dev 2>/dev/null || true
}

yyjson_ok() {
  local v
  v=$(yyjson_version)
  [[ "$v" == "$TE_YYJSON_SERIES".* ]] && dpkg-query -W -f='${db:Status-Status}\n' libyyjson0 2>/dev/null | grep -qx installed
}

te_tmp=""
trap 'rm -rf "${te_tmp:-/nonexistent}"' EXIT

install_yyjson_from_unstable() {
  local uri tmp
  uri=$(debian_mirror_uri)
  [ -n "$uri" ] || { log "no Debian mirror entry found in /etc/apt"; exit 1; }
  tmp=$(mktemp -d)
  te_tmp=$tmp
  mkdir -p "$tmp/parts" "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/debs"
  : > "$tmp/empty.list"
  cat > "$tmp/parts/unstable.sources" <<SRC
Types: deb
URIs: $uri
Suites: unstable
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  local opts=(-o "Dir::Etc::SourceList=$tmp/empty.list" -o "Dir::Etc::SourceParts=$tmp/parts"
              -o "Dir::State::Lists=$tmp/lists" -o "Dir::Cache=$tmp/cache"
              -o "APT::Sandbox::User=root"
              # A mirror may serve a dated snapshot of unstable whose Release
              # file has passed its Valid-Until; signatures are still checked.
              -o "Acquire::Check-Valid-Until=false")
  log "fetching libyyjson-dev and libyyjson0 from Debian unstable"
  as_root apt-get "${opts[@]}" -qq update
  (cd "$tmp/debs" && as_root apt-get "${opts[@]}" -qq download libyyjson-dev libyyjson0)
  local f
  for f in "$tmp"/debs/*.deb; do
    [[ "$(dpkg-deb -f "$f" Version)" == "$TE_YYJSON_SERIES".* ]] ||
      { log "unstable offers $(dpkg-deb -f "$f" Package) $(dpkg-deb -f "$f" Version), not $TE_YYJSON_SERIES.x"; exit 1; }
  done
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$tmp"/debs/*.deb >/dev/null
}

main() {
  local missing
  [ "${1:-}" = --package ] && te_package_only=1
  missing=$(missing_debian_packages)
  if [ -n "$missing" ]; then
    log "installing: $(echo $missing)"
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
  fi
  [ "$te_package_only" = 1 ] && return
  if ! yyjson_ok; then
    install_yyjson_from_unstable
  fi
  yyjson_ok || { log "yyjson $TE_YYJSON_SERIES.x is not installed (have: $(yyjson_version))"; exit 1; }
}

main "$@"
