#!/usr/bin/env bash
# Writes a program's manual page from its own --help and --version, so the
# page says what the program says: help2man makes the page, the hand-written
# sections of INCLUDE (name, description, environment, files) complete it,
# and for te each command's own --help follows in a section of its own.
# The page is compressed as Debian installs manual pages.
#
#   make-man-page.sh PROGRAM INCLUDE OUT.1.gz
set -euo pipefail
program=$1
include=$2
out=$3
name=$(basename "$program")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program runs with no desktop and no files of the user's; found on
# PATH, its usage lines name it rather than the build folder.
export HOME=$work XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work APPDATA=$work QT_QPA_PLATFORM=offscreen
export PATH="$(cd "$(dirname "$program")" && pwd):$PATH"
unset DISPLAY WAYLAND_DISPLAY TE_STORE TE_DESKTOP
# A build under AddressSanitizer runs it too: a leak report at its exit is
# no concern of the page.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

# Text as troff shows it verbatim in a .nf block.
troff_verbatim() {
  sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
}

# The commands listed in te --help (under "Commands:" and "For scripts and tests:").
te_commands() {
  "$name" --help | awk '/^(Commands|For scripts and tests):$/ { on = 1; next } on && /^$/ { on = 0 } on && NF { print $1 }'
}

# One section with every command's --help, for te.
te_commands_section() {
  local command
  echo "[COMMANDS]"
  for command in $(te_commands); do
    [ "$command" = help ] && continue
    printf '.SS "te %s"\n.nf\n' "$command"
    "$name" "$command" --help | troff_verbatim
    printf '.fi\n'
  done
}

cp "$include" "$work/include.h2m"
if [ "$name" = te ]; then
  te_commands_section >>"$work/include.h2m"
fi
help2man --no-info --section=1 --include="$work/include.h2m" --output="$work/$name.1" "$name"
gzip -9n <"$work/$name.1" >"$out.tmp"
mv "$out.tmp" "$out"
