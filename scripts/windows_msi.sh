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

# A catalog per language, under locale\LANG\LC_MESSAGES as the programs look
# for it; each language's folders are removed with it.
directories= components= refs=
# A fixed GUID for each component, so that an upgrade replaces it.
guid() { printf '%s' "$1" | md5sum | sed -E 's/^(.{8})(.{4})(.{4})(.{4})(.{12}).*/\1-\2-\3-\4-\5/' | tr a-f A-F; }
for language in $(cat "$root/po/LINGUAS"); do
  stage "$build/share/locale/$language/LC_MESSAGES/vantrel.mo" "vantrel-$language.mo"
  directories+="              <Directory Id=\"Locale_$language\" Name=\"$language\"><Directory Id=\"Messages_$language\" Name=\"LC_MESSAGES\"/></Directory>"$'\n'
  components+="    <DirectoryRef Id=\"Messages_$language\">
      <Component Win64=\"yes\" Id=\"cmpCatalog_$language\" Guid=\"$(guid "vantrel-catalog-$language")\">
        <RegistryValue Root=\"HKCU\" Key=\"Software\\Vantrel\\Vantrel Video Converter\" Name=\"Catalog-$language\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>
        <File Id=\"filCatalog_$language\" Name=\"vantrel.mo\" Source=\"stage/vantrel-$language.mo\" KeyPath=\"no\"/>
        <RemoveFolder Id=\"rmMessages_$language\" On=\"uninstall\"/>
      </Component>
    </DirectoryRef>
    <DirectoryRef Id=\"Locale_$language\">
      <Component Win64=\"yes\" Id=\"cmpLocale_$language\" Guid=\"$(guid "vantrel-locale-$language")\">
        <RegistryValue Root=\"HKCU\" Key=\"Software\\Vantrel\\Vantrel Video Converter\" Name=\"Locale-$language\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>
        <RemoveFolder Id=\"rmLocale_$language\" On=\"uninstall\"/>
      </Component>
    </DirectoryRef>"$'\n'
  refs+="      <ComponentRef Id=\"cmpCatalog_$language\"/><ComponentRef Id=\"cmpLocale_$language\"/>"$'\n'
done
components+="    <DirectoryRef Id=\"LocaleDir\">
      <Component Win64=\"yes\" Id=\"cmpLocaleDir\" Guid=\"$(guid vantrel-locale)\">
        <RegistryValue Root=\"HKCU\" Key=\"Software\\Vantrel\\Vantrel Video Converter\" Name=\"Locale\" Type=\"integer\" Value=\"1\" KeyPath=\"yes\"/>
        <RemoveFolder Id=\"rmLocaleDir\" On=\"uninstall\"/>
      </Component>
    </DirectoryRef>"
refs+="      <ComponentRef Id=\"cmpLocaleDir\"/>"$'\n'

open_with=
for e in $extensions; do
  open_with+="        <RegistryValue Root=\"HKCU\" Key=\"Software\\Classes\\Applications\\vantrel.exe\\SupportedTypes\" Name=\".$e\" Type=\"string\" Value=\"\"/>"$'\n'
  open_with+="        <RegistryValue Root=\"HKCU\" Key=\"Software\\Classes\\.$e\\OpenWithList\\vantrel.exe\" Name=\"*\" Type=\"string\" Value=\"\"/>"$'\n'
done
template=$(<"$root/packaging/windows/vantrel.wxs.in")
template=${template//@VERSION@/$version}
template=${template//@CATALOG_DIRECTORIES@/${directories%$'\n'}}
template=${template//@CATALOG_COMPONENTS@/${components%$'\n'}}
template=${template//@CATALOG_REFS@/${refs%$'\n'}}
printf '%s\n' "${template//@OPEN_WITH@/${open_with%$'\n'}}" >"$work/vantrel.wxs"
(cd "$work" && wixl -a x64 -o "$out" vantrel.wxs)
echo "wrote $out"
