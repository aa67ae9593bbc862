#!/usr/bin/env bash
# Makes the Debian packages from this tree and checks them:
#
#   bash scripts/package.sh [BUILD_DIR]        (default build/package)
#
# leaves in BUILD_DIR/packages/
#   velmora-textexpander_<version>_amd64.deb          te, velmora-manager, the library
#   libvelmora-textexpander-dev_<version>_amd64.deb   header, pkg-config and CMake files
#
# It installs what the build needs (scripts/install-deps.sh --package), then
# builds for /usr in Release with Debian's hardening flags
# (dpkg-buildflags), yyjson compiled into the library from its release
# archive (Debian 12 has no yyjson 0.12 for the package to depend on;
# TE_YYJSON_ARCHIVE names another copy), no tests or benchmarks. CPack makes
# the packages; tests/package/deb_test.sh checks them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}
archive=${TE_YYJSON_ARCHIVE:-$PWD/../shared/third_party/yyjson-0.12.0.tar.gz}

bash scripts/install-deps.sh --package

eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTE_BUILD_TESTS=OFF -DTE_BUILD_BENCH=OFF -DTE_PACKAGE_TOOLS_REQUIRED=ON \
  -DTE_YYJSON_ARCHIVE="$archive" \
  -DCMAKE_C_FLAGS="$CFLAGS $CPPFLAGS" -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/packages/*.deb
(cd "$build" && cpack -G DEB)
bash tests/package/deb_test.sh "$build/packages" .
