#!/usr/bin/env bash
# Checks the two Debian packages scripts/package.sh made:
# - what each holds, against tests/package/<package>.contents (files and
#   links, one a line, the version written @VERSION@): a change of the
#   install rules that adds or drops a file shows here, and the list is
#   updated with it;
# - the control fields: the project's version, dependencies computed from
#   the binaries and none of the build tools, the -dev package tied to the
#   same version of the main one;
# - lintian: no error, and no warning but those lintian-kept.txt explains;
# - appstreamcli and desktop-file-validate on the metadata and the entry;
# - the manual pages in step with the programs: every command and option
#   that the packaged te and velmora-manager print in --help is in them;
# - a host built against the packages' files (consumer_test.sh).
#
#   deb_test.sh PACKAGES_DIR SOURCE_DIR
set -euo pipefail
packages=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
here=$source_dir/tests/package
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

version=$(sed -n 's/^project(velmora-textexpander VERSION \([^ ]*\) .*/\1/p' "$source_dir/CMakeLists.txt")
main_deb=$packages/velmora-textexpander_${version}_amd64.deb
dev_deb=$packages/libvelmora-textexpander-dev_${version}_amd64.deb
for deb in "$main_deb" "$dev_deb"; do
  [ -f "$deb" ] || { echo "FAIL: no $deb"; exit 1; }
done

# Files and links of a package, one a line, its version as @VERSION@.
deb_contents() {
  dpkg-deb -c "$1" | awk '$1 !~ /^d/ { line = $6; for (i = 7; i <= NF; i++) line = line " " $i; print line }' |
    sed -e 's|^\./|/|' -e "s|${version//./\\.}|@VERSION@|g" | sort
}

check_contents() {
  local deb=$1 name
  name=$(dpkg-deb -f "$deb" Package)
  if ! diff -u "$here/$name.contents" <(deb_contents "$deb") >"$work/contents.diff"; then
    fail "$name holds other files than tests/package/$name.contents lists (- listed, + in the package):"
    cat "$work/contents.diff"
  fi
}

# The names a package depends on, one a line.
depends_names() {
  dpkg-deb -f "$1" Depends | tr ',|' '\n\n' | sed 's/(.*//' | tr -d ' ' | sed '/^$/d'
}

check_control() {
  local name deb
  for deb in "$main_deb" "$dev_deb"; do
    name=$(dpkg-deb -f "$deb" Package)
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "$name has version $(dpkg-deb -f "$deb" Version)"
    [ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "$name is not for amd64"
    if depends_names "$deb" | grep -E -- '-dev$|^(gcc|g\+\+|cpp|clang|cmake|make|binutils|pkgconf|help2man|librsvg2-bin)(-|$)'; then
      fail "$name depends on build tools"
    fi
  done
  # Computed from te, the window and the library, not written by hand.
  local need
  for need in libc6 libstdc++6 libqt6widgets6 libx11-6 libxkbcommon0 libwayland-client0; do
    depends_names "$main_deb" | grep -qx "$need" || fail "velmora-textexpander does not depend on $need"
  done
  [ "$(dpkg-deb -f "$dev_deb" Depends)" = "velmora-textexpander (= $version)" ] ||
    fail "libvelmora-textexpander-dev depends on: $(dpkg-deb -f "$dev_deb" Depends)"
}

check_lintian() {
  local kept raised tag
  kept=$(grep -v '^#' "$here/lintian-kept.txt" | sed '/^$/d' | sort -u)
  lintian --no-cfg --fail-on none --tag-display-limit 0 "$main_deb" "$dev_deb" >"$work/lintian" 2>&1 ||
    fail "lintian did not run"
  cat "$work/lintian"
  grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"
  raised=$(sed -n 's/^W: \([^:]*\): \([^ ]*\).*/\1: \2/p' "$work/lintian" | sort -u)
  while IFS= read -r tag; do
    [ -n "$tag" ] || continue
    grep -qxF "$tag" <<<"$kept" || fail "lintian warning not in tests/package/lintian-kept.txt: $tag"
  done <<<"$raised"
  while IFS= read -r tag; do
    grep -qxF "$tag" <<<"$raised" || fail "lintian no longer warns $tag: remove it from lintian-kept.txt"
  done <<<"$kept"
}

check_metadata() {
  appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
  desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
}

# Commands and options that `PROGRAM ARGS... --help` prints.
help_words() {
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen HOME="$work" XDG_RUNTIME_DIR="$work" \
    "$@" --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u
}

check_man_page() {
  local program=$1 page word command text
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || { fail "no manual page $program(1)"; return; }
  text=$(zcat "$page" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\[,/]//g')
  for word in $(help_words "$root/usr/bin/$program"); do
    grep -qF -- "$word" <<<"$text" || fail "$program(1) lacks $word of $program --help"
  done
  [ "$program" = te ] || return 0
  for command in $("$root/usr/bin/te" --help | awk '/^(Commands|For scripts and tests):$/ { on = 1; next } on && /^$/ { on = 0 } on && NF { print $1 }'); do
    [ "$command" = help ] && continue
    grep -qF ".SS \"te $command\"" <<<"$text" || { fail "te(1) has no section for te $command"; continue; }
    for word in $(help_words "$root/usr/bin/te" "$command"); do
      sed -n "/^\.SS \"te $command\"/,/^\.SS /p" <<<"$text" | grep -qF -- "$word" ||
        fail "te(1) lacks $word of te $command --help"
    done
  done
}

root=$work/root
dpkg -x "$main_deb" "$root"
dpkg -x "$dev_deb" "$root"

check_contents "$main_deb"
check_contents "$dev_deb"
check_control
check_lintian
check_metadata
check_man_page te
check_man_page velmora-manager
bash "$here/consumer_test.sh" "$root/usr" || fail "a host built against the packages' files"

for deb in "$main_deb" "$dev_deb"; do
  printf '%s: %s KiB installed; depends on %s\n' "$(basename "$deb")" \
    "$(dpkg-deb -f "$deb" Installed-Size)" "$(dpkg-deb -f "$deb" Depends)"
done
if [ "$failures" -gt 0 ]; then
  echo "deb_test: $failures checks failed"
  exit 1
fi
echo "deb_test: the packages hold what they must and pass lintian and the validators"
