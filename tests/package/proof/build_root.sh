#!/usr/bin/env bash
# Inside the first fresh root of scripts/package-proof.sh, as root: the
# project's own commands install what the build needs, build the packages
# and check them; then both are installed with apt and a host program is
# built against the installed library with no hint where it is.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
cd /src/velmora-textexpander

timed() {
  local start=$SECONDS
  "$@"
  echo "build-root: $* took $((SECONDS - start)) s"
}

apt-get update -qq
timed bash scripts/install-deps.sh --package
timed bash scripts/package.sh
apt-get install -y -qq ./build/package/packages/*.deb >/dev/null
bash tests/package/consumer_test.sh /usr
