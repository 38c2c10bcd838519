#!/bin/sh
# Builds uchardet, the text-encoding detector the Linux build links from
# Debian, for the Windows build too, so that both guess a subtitle file's
# encoding alike: Debian's own source package of it, fetched by apt-get source
# from the mirror this machine's apt uses, compiled with the MinGW-w64 cross
# compiler into a static library in BUILD_DIR/uchardet (include/, lib/). Once;
# later runs find it there. The source index apt needs for this is kept in the
# build folder, so the system's own apt state is never touched.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath -m "$1")
dir=$build/uchardet
work=$build/uchardet.work
fail() { echo "build_windows_uchardet: $*" >&2; exit 1; }
[ -f "$dir/lib/libuchardet.a" ] && exit 0

rm -rf "$work" "$dir.tmp"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/sources.list.d" "$work/source"
mirror=$("$here/debian_mirror.sh") || fail "no Debian mirror to fetch the source from"
# The release this machine runs, whose uchardet is the one the Linux build links.
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$suite" ] || fail "no VERSION_CODENAME in /etc/os-release to choose the Debian release by"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
options=""
[ -f "$keyring" ] && options="[signed-by=$keyring] "
echo "deb-src $options$mirror $suite main" >"$work/sources.list"

apt_private() {
    apt-get -q -o Dir::Etc::SourceList="$work/sources.list" \
        -o Dir::Etc::SourceParts="$work/sources.list.d" -o Dir::State::Lists="$work/lists" \
        -o Dir::Cache="$work/cache" -o APT::Sandbox::User="$(id -un)" "$@"
}
apt_private update >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get update of the source index failed (apt's words above)"; }
(cd "$work/source" && apt_private source uchardet) >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get source uchardet failed (apt's words above; it needs dpkg-dev)"; }
source=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'uchardet-*' | head -n 1)
[ -n "$source" ] || fail "apt-get source left no uchardet-* folder"

cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_BINARY=OFF \
    -DCMAKE_INSTALL_PREFIX="$dir.tmp" -DCMAKE_INSTALL_LIBDIR=lib >"$work/build.log" 2>&1 &&
    cmake --build "$work/build" -j"$(nproc)" >>"$work/build.log" 2>&1 &&
    cmake --install "$work/build" >>"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; fail "the cross build of uchardet failed (the end of its log above)"; }
[ -f "$dir.tmp/lib/libuchardet.a" ] && [ -f "$dir.tmp/include/uchardet/uchardet.h" ] ||
    fail "the cross build of uchardet made no libuchardet.a and uchardet.h"
mv "$dir.tmp" "$dir"
rm -rf "$work"
