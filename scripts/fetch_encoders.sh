#!/bin/sh
# Fetches the oldest and the newest ffmpeg the engine is tested against, once,
# into BUILD_DIR/encoders (Debian's own ffmpeg is the third):
#   ffmpeg41/ffmpeg  the static 4.1 build the npm registry ships (a snapshot
#                    of December 2018 that names itself by its git commit;
#                    its libavcodec 58 is 4.1's)
#   ffmpeg71/ffmpeg  Debian 13's 7.1, run in a root of its own through chroot
# A failed download is an error that says so: the tests of these versions must
# not pass for want of them. What is there already is not fetched again.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
dir=$(realpath -m "$1")/encoders
mkdir -p "$dir"
fail() { echo "fetch_encoders: $*" >&2; exit 1; }

if [ ! -x "$dir/ffmpeg41/ffmpeg" ]; then
    rm -rf "$dir/ffmpeg41.part" && mkdir "$dir/ffmpeg41.part"
    (cd "$dir/ffmpeg41.part" && npm pack --silent @ffmpeg-installer/linux-x64@4.1.0 >/dev/null &&
        tar xzf ./*.tgz) || fail "could not download ffmpeg 4.1 from the npm registry"
    mv "$dir/ffmpeg41.part/package" "$dir/ffmpeg41" && rm -rf "$dir/ffmpeg41.part"
fi
"$dir/ffmpeg41/ffmpeg" -version | grep -q '^libavcodec *58\.' ||
    fail "$dir/ffmpeg41/ffmpeg is not ffmpeg 4.1"

# debootstrap leaves a half-made root when it fails, so it builds under another
# name and the root is only renamed into place once complete.
root=$dir/trixie
if [ ! -x "$root/usr/bin/ffmpeg" ]; then
    [ "$(id -u)" -eq 0 ] || fail "ffmpeg 7.1 needs root, for debootstrap and chroot"
    rm -rf "$root.part"
    mirror=$("$(dirname "$0")/debian_mirror.sh") || fail "no Debian mirror to fetch from"
    debootstrap --variant=minbase --include=ffmpeg trixie "$root.part" \
        "$mirror" >"$dir/debootstrap.log" 2>&1 ||
        fail "could not install Debian 13's ffmpeg 7.1 with debootstrap (see $dir/debootstrap.log)"
    rm -rf "$root.part/var/cache/apt/archives"/*.deb
    mv "$root.part" "$root"
fi
# The tests' files live in the temp folder, which the root sees at the same
# path. The mount is made afresh in a mount namespace of the run's own, so it
# ends with the run and no `rm -rf` of the build folder ever reaches through
# it. Each step execs the next: ffmpeg keeps the pid, the process group and
# the death signal the converter gave it.
mkdir -p "$dir/ffmpeg71"
cat >"$dir/ffmpeg71/ffmpeg" <<EOF
#!/bin/sh
tmp=\${TMPDIR:-/tmp}
exec unshare --mount --propagation private sh -c 'mkdir -p "$root\$0" &&
    mount --bind "\$0" "$root\$0" && exec chroot "$root" /usr/bin/ffmpeg "\$@"' "\$tmp" "\$@"
EOF
chmod +x "$dir/ffmpeg71/ffmpeg"
"$dir/ffmpeg71/ffmpeg" -version | grep -q '^ffmpeg version 7\.1' ||
    fail "$dir/ffmpeg71/ffmpeg is not ffmpeg 7.1"
echo "fetch_encoders: ffmpeg 4.1 and 7.1 are in $dir"
