#!/bin/sh
# Fetches the Windows ffmpeg.exe that goes into the zip and that the Windows
# tests run under wine, once, into BUILD_DIR/encoders/win64: the static 4.1
# build the npm registry ships. A failed download is an error that says so.
set -eu
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
dir=$(realpath -m "$1")/encoders
fail() { echo "fetch_windows_encoder: $*" >&2; exit 1; }
mkdir -p "$dir"
if [ ! -f "$dir/win64/ffmpeg.exe" ]; then
    rm -rf "$dir/win64.part" && mkdir "$dir/win64.part"
    (cd "$dir/win64.part" && npm pack --loglevel=error @ffmpeg-installer/win32-x64@4.1.0 >/dev/null 2>npm.log &&
        tar xzf ./*.tgz) || {
        cat "$dir/win64.part/npm.log" >&2
        fail "could not download ffmpeg.exe 4.1 from the npm registry (npm's words above)"
    }
    mv "$dir/win64.part/package" "$dir/win64" && rm -rf "$dir/win64.part"
fi
head -c 2 "$dir/win64/ffmpeg.exe" | grep -q MZ || fail "$dir/win64/ffmpeg.exe is not a Windows program"
