#!/usr/bin/env bash
# Installs the build into a temporary prefix: the programs find the library
# from there; then a host is built against it with find_package and with
# pkg-config (consumer_test.sh).
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
here=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export APPDATA=$work/appdata
unset DISPLAY

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# The installed te finds the library beside it, with no search path set.
[ "$(env -u LD_LIBRARY_PATH "$work/prefix/bin/te" count)" = 3 ] || { echo "installed te failed"; exit 1; }
[ -f "$work/prefix/share/bash-completion/completions/te" ] || { echo "no bash completion installed"; exit 1; }
# With the KDE desktop, the desktop file KWin wants before it lets te type,
# naming te where it was installed.
if grep -q '^TE_DESKTOPS:STRING=.*kde' "$build/CMakeCache.txt"; then
  grep -qx "Exec=\"$work/prefix/bin/te\"" "$work/prefix/share/applications/velmora-te-fake-input.desktop" ||
    { echo "no desktop file for KWin naming the installed te"; exit 1; }
fi
# So does the manager window, where Qt 6 was found for the build.
if [ -e "$work/prefix/bin/velmora-manager" ]; then
  env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$work/prefix/bin/velmora-manager" --help >/dev/null ||
    { echo "installed velmora-manager failed"; exit 1; }
fi
bash "$here/consumer_test.sh" "$work/prefix"
