#!/bin/bash
# Makes the Windows installer from a cross build with wixl: the programs,
# ffmpeg.exe beside them, the licence, the README and the subtitles' fallback
# font, from packaging/windows/vantrel.wxs.in, with "Open with" for every movie
# type the program opens (conversion/source_types.h).
#   windows_msi.sh BUILD_DIR OUT.msi
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR OUT.msi" >&2; exit 2; }
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "windows_msi: $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
# The movie types, as the open dialog lists them.
extensions=$(sed -n '/kSourceExtensions = {/,/};/p' "$root/conversion/source_types.h" |
             grep -o '"[a-z0-9]*"' | tr -d '"')
[ "$(echo "$extensions" | wc -l)" -ge 10 ] || fail "no movie types read from conversion/source_types.h"

# wixl takes its files by paths under the folder it runs in.
work=$build/msi
rm -rf "$work" && mkdir -p "$work/stage"
stage() { [ -s "$1" ] || fail "missing $1"; cp "$1" "$work/stage/$2"; }
stage "$build/app/vantrel.exe" vantrel.exe
stage "$build/app/vantrel.ico" vantrel.ico
stage "$build/cli/vantrel-convert.exe" vantrel-convert.exe
stage "$build/encoders/win64/ffmpeg.exe" ffmpeg.exe
stage "$root/README.md" README.md
stage /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf DejaVuSans.ttf
sed 's/$/\r/' "$root/LICENSE" >"$work/stage/LICENSE.txt"

open_with=
for e in $extensions; do
  open_with+="        <RegistryValue Root=\"HKCU\" Key=\"Software\\Classes\\Applications\\vantrel.exe\\SupportedTypes\" Name=\".$e\" Type=\"string\" Value=\"\"/>"$'\n'
  open_with+="        <RegistryValue Root=\"HKCU\" Key=\"Software\\Classes\\.$e\\OpenWithList\\vantrel.exe\" Name=\"*\" Type=\"string\" Value=\"\"/>"$'\n'
done
template=$(<"$root/packaging/windows/vantrel.wxs.in")
template=${template//@VERSION@/$version}
printf '%s\n' "${template//@OPEN_WITH@/${open_with%$'\n'}}" >"$work/vantrel.wxs"
(cd "$work" && wixl -a x64 -o "$out" vantrel.wxs)
echo "wrote $out"
