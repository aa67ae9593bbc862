#!/usr/bin/env bash
# Inside the second fresh root of scripts/package-proof.sh, as root, with
# the main package in /proof: installs only that .deb with apt, then uses
# it as an ordinary user would, and removes it. What it shows goes to
# stdout; the list of packages apt pulled in, the manager's picture and the
# logs stay in /proof.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8
deb=$(echo /proof/velmora-textexpander_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
user=ana
runtime=/tmp/runtime-$user
snippet_text="Packaged, installed and expanded"

step() { printf '\n== %s\n' "$*"; }
die() { echo "FAIL: $*"; exit 1; }

. /proof/children.sh
trap te_stop_children EXIT

# A command as the ordinary user, with a login's environment and no other.
as_user() {
  setpriv --reuid="$user" --regid="$user" --init-groups \
    env -i HOME=/home/$user USER=$user LOGNAME=$user PATH=/usr/bin:/bin LANG=C.UTF-8 \
    XDG_RUNTIME_DIR=$runtime ${DISPLAY:+DISPLAY=$DISPLAY} "$@"
}

installed_packages() { dpkg-query -W -f='${db:Status-Status} ${Package}\n' | awk '$1 == "installed" { print $2 }' | sort; }

step "apt-get install ./$(basename "$deb") on a bare Debian 12"
apt-get update -qq
installed_packages >/proof/before.txt
(cd /proof && apt-get install -y "./$(basename "$deb")") >/proof/apt-install.log
installed_packages >/proof/after.txt
comm -13 /proof/before.txt /proof/after.txt >/proof/pulled.txt
grep -E '^[0-9]+ upgraded' /proof/apt-install.log
kib=$(xargs dpkg-query -W -f='${Installed-Size}\n' </proof/pulled.txt | awk '{ s += $1 } END { print s }')
echo "velmora-textexpander: $(dpkg-query -W -f='${Installed-Size}' velmora-textexpander) KiB installed;" \
  "with the $(($(wc -l </proof/pulled.txt) - 1)) packages apt pulled in, $((kib / 1024)) MiB"
echo "pulled in: $(grep -vx velmora-textexpander /proof/pulled.txt | tr '\n' ' ')"

step "what the proof drives the desktop with: Xvfb, xterm, xdotool"
apt-get install -y -qq --no-install-recommends xvfb xterm xdotool >/dev/null
useradd --create-home --shell /bin/bash "$user"
install -d -m 0700 -o "$user" -g "$user" "$runtime"

step "te --version, te add, te list (as $user)"
[ "$(as_user te --version)" = "te $version" ] || die "te --version says $(as_user te --version)"
as_user te --version
as_user te add '>>proof' "$snippet_text"
as_user te list | tee /proof/te-list.txt
grep -q '>>proof' /proof/te-list.txt || die "te list does not show >>proof"
store=$(as_user te path)
sha256sum "$store" >/proof/store.sha256

step "velmora-manager on Xvfb"
# Only the file socket in this root: an abstract socket would be shared with
# the X servers of the machine outside it.
as_user Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -nolisten local -noreset \
  3>/proof/display </dev/null >/proof/xvfb.log 2>&1 &
te_children+=($!)
wait_until '[ -s /proof/display ]' 100 || die "Xvfb did not start"
export DISPLAY=":$(tr -d '[:space:]' </proof/display)"
# The window draws itself into a picture once it has shown its list, then
# quits; meanwhile the X server must have it mapped.
as_user velmora-manager --no-engine --screenshot "$runtime/manager.png" >/proof/manager.log 2>&1 &
manager=$!
te_children+=("$manager")
as_user timeout 20 xdotool search --sync --onlyvisible --name '^Velmora snippets$' >/dev/null ||
  die "no velmora-manager window appeared (/proof/manager.log)"
wait "$manager" || die "velmora-manager --screenshot failed (/proof/manager.log)"
cp "$runtime/manager.png" /proof/manager.png
echo "its window appeared and drew its list: manager.png ($(stat -c %s /proof/manager.png) bytes)"

step "te run --mode keys --synthetic-keys; xdotool types \"Dear team, >>proof\" into xterm"
# xterm hands the line to a shell that writes it out on Enter: what arrives
# is what the terminal's line editing made of the keys, BackSpaces included.
as_user xterm -title proof-xterm -e sh -c "IFS= read -r line; printf '%s\n' \"\$line\" >$runtime/typed.txt" &
te_children+=($!)
window=$(as_user timeout 20 xdotool search --sync --onlyvisible --name '^proof-xterm$' | head -n1)
[ -n "$window" ] || die "xterm did not appear"
as_user xdotool windowfocus --sync "$window"
as_user te run --mode keys --synthetic-keys >/proof/te-run.log 2>&1 &
te_children+=($!)
wait_until 'as_user te status >/dev/null 2>&1' 100 || die "te run did not start (/proof/te-run.log)"
as_user xdotool type --delay 60 'Dear team, >>proof'
sleep 1
as_user xdotool key Return
wait_until "[ -s $runtime/typed.txt ]" 50 || die "nothing arrived in xterm"
echo "xterm read: $(cat "$runtime/typed.txt")"
[ "$(cat "$runtime/typed.txt")" = "Dear team, $snippet_text" ] || die "the trigger was not expanded"
as_user te stop >/dev/null

step "apt-get remove velmora-textexpander"
apt-get remove -y -qq velmora-textexpander >/dev/null
! command -v te >/dev/null || die "te is still installed"
sha256sum --check --quiet /proof/store.sha256 || die "the snippets changed"
grep -q "$snippet_text" "$store" || die "the snippet is gone"
echo "te and velmora-manager are gone; $store is as it was"
