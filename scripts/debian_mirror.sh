#!/bin/sh
# Prints the Debian mirror this machine's apt uses for the main archive (not
# the security one), so that debootstrap fetches from wherever apt does:
# VANTREL_DEBIAN_MIRROR when set, else the first such URI in apt's sources,
# one-line (sources.list) or deb822 (*.sources) style. Fails, saying so, when
# there is none.
set -eu
if [ -n "${VANTREL_DEBIAN_MIRROR:-}" ]; then
    echo "$VANTREL_DEBIAN_MIRROR"
    exit 0
fi
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # "deb [options] URI suite..." or "URIs: URI..."; a trailing "/debian"
    # names the main archive.
    uri=$(sed -n -e 's/^[[:space:]]*deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\).*/\2/p' \
                 -e 's/^[[:space:]]*URIs:[[:space:]]*//p' "$f" |
          tr ' ' '\n' | grep -E '/debian/?$' | head -n 1)
    if [ -n "$uri" ]; then
        echo "${uri%/}"
        exit 0
    fi
done
echo "debian_mirror: no Debian mirror in apt's sources; set VANTREL_DEBIAN_MIRROR" >&2
exit 1
