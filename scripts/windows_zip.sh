#!/bin/sh
# Makes the Windows zip from a cross build: the programs, ffmpeg.exe beside
# them (where they look for it first), the translations, README.md, the
# program's licence and ffmpeg's, in one folder. vantrel.exe goes in when the
# build has it.
#   windows_zip.sh BUILD_DIR OUT.zip
set -eu
[ $# -eq 2 ] || { echo "usage: $0 BUILD_DIR OUT.zip" >&2; exit 2; }
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "windows_zip: $*" >&2; exit 1; }

stage=$build/zip/vantrel-win64
rm -rf "$build/zip" && mkdir -p "$stage"
for program in app/vantrel.exe cli/vantrel-convert.exe; do
    [ -f "$build/$program" ] || continue
    # Linked statically, so a clean Windows runs them: system DLLs only, none
    # of the compiler's runtime (libstdc++, libgcc, libwinpthread).
    if x86_64-w64-mingw32-objdump -p "$build/$program" | grep -i "DLL Name: lib"; then
        fail "$program needs the compiler's runtime DLLs"
    fi
    cp "$build/$program" "$stage/"
done
[ -f "$stage/vantrel-convert.exe" ] || fail "no cli/vantrel-convert.exe in $build"
cp "$build/encoders/win64/ffmpeg.exe" "$root/README.md" "$stage/"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
# The translations, where the programs look for them: locale beside them.
for language in $(cat "$root/po/LINGUAS"); do
    mkdir -p "$stage/locale/$language/LC_MESSAGES"
    cp "$build/share/locale/$language/LC_MESSAGES/vantrel.mo" "$stage/locale/$language/LC_MESSAGES/"
done
# The font subtitles fall back on, with its licence: Windows' own fonts serve
# every other letter.
mkdir -p "$stage/fonts"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$stage/fonts/"
sed 's/$/\r/' /usr/share/doc/fonts-dejavu-core/copyright >"$stage/fonts/LICENSE-DejaVu.txt"

# ffmpeg's own statement of its licence, then the licence it names, with
# Windows' line ends throughout.
export VANTREL_WINEPREFIX="${VANTREL_WINEPREFIX:-$build/wine}"
statement=$("$root/scripts/wine_run.sh" "$stage/ffmpeg.exe" -hide_banner -L | tr -d '\r')
echo "$statement" | grep -q "either version 3 of the License" ||
    fail "ffmpeg.exe -L did not name the GPL version 3: $statement"
printf '%s\n\n' "$statement" | cat - /usr/share/common-licenses/GPL-3 | sed 's/$/\r/' \
    >"$stage/LICENSE-ffmpeg.txt"

mkdir -p "$(dirname "$out")" && rm -f "$out"
(cd "$build/zip" && zip -qrX "$out" vantrel-win64)
echo "windows_zip: $out"
