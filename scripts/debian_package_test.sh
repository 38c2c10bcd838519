#!/bin/sh
# Builds the package from BUILD_DIR, checks it with lintian and the desktop's
# validators, then installs, runs and removes it in a clean Debian 12 root:
# proof that it is complete on a machine that never saw the build. The root is
# made once by debootstrap and kept as a tarball in BUILD_DIR/debroot; every
# run unpacks a fresh copy of it, so no run sees another's leftovers.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(realpath "$1")
dir=$build/debroot
fail() { echo "debian_package_test: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root, for debootstrap and chroot"
mkdir -p "$dir"

rm -rf "$dir/dist"
cpack --config "$build/CPackConfig.cmake" -D CPACK_OUTPUT_FILE_PREFIX="$dir/dist" \
    >"$dir/cpack.log" 2>&1 || fail "cpack failed (see $dir/cpack.log)"
deb=$(echo "$dir"/dist/vantrel_*_amd64.deb)
[ -f "$deb" ] || fail "cpack made no vantrel_*_amd64.deb"
version=$(dpkg-deb -f "$deb" Version)

lintian --fail-on error "$deb" || fail "lintian reports errors"
rm -rf "$dir/unpacked" && dpkg-deb -x "$deb" "$dir/unpacked"
appstreamcli validate --no-net "$dir"/unpacked/usr/share/metainfo/*.metainfo.xml ||
    fail "appstreamcli rejects the metainfo"
desktop-file-validate "$dir"/unpacked/usr/share/applications/*.desktop ||
    fail "desktop-file-validate rejects the desktop entry"
# Each language's catalog, and its names in the desktop entry and the listing.
for language in $(cat "$(dirname "$0")/../po/LINGUAS"); do
    [ -s "$dir/unpacked/usr/share/locale/$language/LC_MESSAGES/vantrel.mo" ] || fail "no $language catalog"
    grep -q "^Comment\[$language\]=" "$dir"/unpacked/usr/share/applications/vantrel.desktop ||
        fail "the desktop entry has no $language comment"
    grep -q "<summary xml:lang=\"$language\">" "$dir"/unpacked/usr/share/metainfo/*.metainfo.xml ||
        fail "the listing has no $language summary"
done

# debootstrap leaves a half-made root when it fails, so the tarball is only
# written once the root is complete.
pristine=$dir/bookworm.tar
if [ ! -f "$pristine" ]; then
    rm -rf "$dir/bookworm.part"
    mirror=$("$(dirname "$0")/debian_mirror.sh") || fail "no Debian mirror to fetch from"
    debootstrap --variant=minbase bookworm "$dir/bookworm.part" "$mirror" \
        >"$dir/debootstrap.log" 2>&1 ||
        fail "could not make a Debian 12 root with debootstrap (see $dir/debootstrap.log)"
    tar -C "$dir/bookworm.part" -cf "$pristine.part" . && mv "$pristine.part" "$pristine"
    rm -rf "$dir/bookworm.part"
fi
root=$(mktemp -d "$dir/run.XXXXXX")
trap 'rm -rf "$root"' EXIT
tar -C "$root" -xf "$pristine"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
ffmpeg -v error -f lavfi -i testsrc=duration=2:size=320x240:rate=25 -f lavfi -i sine=duration=2 \
    -c:v mpeg4 -c:a aac "$root/tmp/clip.mp4" || fail "host ffmpeg could not make the clip"

# What the package's German catalog says of a file that cannot be read, as
# gettext reads it here.
german=$(LC_ALL=C.UTF-8 LANGUAGE=de TEXTDOMAINDIR="$dir/unpacked/usr/share/locale" gettext -d vantrel "cannot read: {1}")
[ "$german" != "cannot read: {1}" ] || fail "the German catalog does not translate 'cannot read: {1}'"

# /proc is mounted in a mount namespace of the run's own, so it goes when the
# run ends, whatever way it ends, and the root's removal never reaches it.
unshare --mount --propagation private sh -c 'mount -t proc proc "$1/proc" &&
    exec chroot "$1" /bin/sh -s "$2" "$3"' sh "$root" "$version" "${german%%\{1\}*}" <<'EOF' || fail "the package failed in the clean root (above)"
set -eu
fail() { echo "in the clean root: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
unset DISPLAY WAYLAND_DISPLAY
apt-get update -qq || fail "apt-get update failed"
apt-get install -y -qq /tmp/vantrel_*.deb >/tmp/install.log 2>&1 ||
    { cat /tmp/install.log >&2; fail "apt-get install failed"; }
missing=$(ldd /usr/bin/vantrel /usr/bin/vantrel-convert | sed -n 's/^\t*\(.*\) => not found$/\1/p' | sort -u)
[ -z "$missing" ] || fail "the package's dependencies miss these libraries:" $missing
command -v ffmpeg >/dev/null || fail "the package's dependencies miss ffmpeg"
[ "$(vantrel --version)" = "vantrel $1" ] || fail "vantrel --version says '$(vantrel --version 2>&1)', not 'vantrel $1'"
vantrel-convert /tmp/clip.mp4 >/tmp/convert.log 2>&1 ||
    { cat /tmp/convert.log >&2; fail "vantrel-convert could not convert a clip"; }
[ -s /tmp/clip.d3v ] || fail "vantrel-convert made no /tmp/clip.d3v"
# In German, from the catalog the package installed (the clean root has no
# German locale; LANGUAGE picks the catalog).
LC_ALL=C.UTF-8 LANGUAGE=de vantrel-convert /tmp/none.avi 2>/tmp/german.log || true
grep -qF "$2" /tmp/german.log || { cat /tmp/german.log >&2; fail "vantrel-convert did not say '$2' in German"; }
dpkg -L vantrel >/tmp/files
apt-get remove -y -qq vantrel >/dev/null 2>&1 || fail "apt-get remove vantrel failed"
# A path still there that no other package owns is one the package left.
left=$(while read -r f; do
    [ -e "$f" ] && ! dpkg -S "$f" >/dev/null 2>&1 && echo "$f"; done </tmp/files || true)
[ -z "$left" ] || fail "apt-get remove vantrel left:" $left
EOF
echo "debian_package_test: $(basename "$deb") installs, converts, answers --version and removes cleanly"
