# The Debian mirror this machine's apt uses, for scripts that fetch from it
# without changing the machine's apt configuration (install-deps.sh,
# package-proof.sh). Source this file.

# The first Debian archive URI this machine uses, from either source format.
debian_mirror_uri() {
  local f uri
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    uri=$(awk '
      /^[[:space:]]*$/ { if (deb && uri != "" && suite !~ /security/) { print uri; exit } deb=0; uri=""; suite="" }
      /^Types:/ { deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/) }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { suite = $0 }
      END { if (deb && uri != "" && suite !~ /security/) print uri }' "$f" | head -n1)
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    uri=$(awk '$1 == "deb" && $0 !~ /security/ {
             for (i = 2; i <= NF; i++) if ($i !~ /^\[/ && $i !~ /\]$/) { print $i; exit } }' "$f" | head -n1)
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
}
