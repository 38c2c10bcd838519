#!/bin/bash
# Tests the Windows installer under wine, in a prefix of its own made afresh:
# builds it from BUILD_DIR (windows_msi.sh), installs it silently, checks the
# files, the uninstall entry, "Open with" for every movie type and the
# Start-menu entry, converts a clip with the installed vantrel-convert.exe,
# hears it in German from the catalog installed beside it,
# uninstalls it silently and checks that no file, shortcut or registry key it
# made is left.
#   windows_installer_test.sh BUILD_DIR
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

if [ -z "${VANTREL_INSTALLER_SESSION:-}" ]; then
  export VANTREL_WINEPREFIX=$build/wine-installer VANTREL_INSTALLER_SESSION=1
  # No menu entries made on the host for the shortcut.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  rm -rf "$VANTREL_WINEPREFIX"
  exec "$here/wine_session.sh" "$0" "$@"
fi
wine() { "$here/wine_run.sh" "$@"; }
work=$build/installer-test
rm -rf "$work" && mkdir -p "$work/out" "$work/locales"
msi=$work/vantrel.msi
"$here/windows_msi.sh" "$build" "$msi" >/dev/null

# For the user alone: no elevation asked (word count bit 8), no ALLUSERS.
words=$(msiinfo suminfo "$msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
(( (words & 8) != 0 )) || fail "the package would ask for administrator rights (word count $words)"
msiinfo export "$msi" Property >"$work/properties"
! grep -q '^ALLUSERS' "$work/properties" || fail "the package sets ALLUSERS"
product=$(sed -n 's/^ProductCode\t//p' "$work/properties" | tr -d '\r')
extensions=$(grep -o 'Classes\\\.[a-z0-9]*\\OpenWithList' "$build/msi/vantrel.wxs" | sed 's/Classes\\//; s/\\OpenWithList//')
pass "a per-user package, $(echo "$extensions" | wc -l) movie types"

app='HKCU\Software\Classes\Applications\vantrel.exe'
own='HKCU\Software\Vantrel'
windows_path() { wine cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
local_w=$(windows_path '%LOCALAPPDATA%')
install_w="$local_w\\Programs\\Vantrel"
install_u=$(wine winepath -u "$install_w" 2>/dev/null)
menu_u=$(wine winepath -u "$(windows_path '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)
shortcut="$menu_u/Vantrel Video Converter.lnk"
uninstall_entry() {
  wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" /v DisplayName 2>/dev/null ||
    wine reg query "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" /v DisplayName 2>/dev/null
}
msi_w="Z:${msi//\//\\}"

status=0; wine msiexec /i "$msi_w" /qn || status=$?
[ "$status" -eq 0 ] || fail "the silent install exited with $status"
for f in vantrel.exe vantrel-convert.exe ffmpeg.exe LICENSE.txt README.md fonts/DejaVuSans.ttf; do
  [ -s "$install_u/$f" ] || fail "$f was not installed"
done
cmp -s "$install_u/vantrel.exe" "$build/app/vantrel.exe" || fail "the installed vantrel.exe is not the build's"
uninstall_entry | grep -q 'Vantrel Video Converter' || fail "no uninstall entry"
[ -s "$shortcut" ] && grep -qa 'vantrel.exe' "$shortcut" || fail "no Start-menu entry for vantrel.exe"
pass "installed silently into $install_w, with its uninstall entry and Start-menu entry"

wine reg query "$app\\shell\\open\\command" /ve 2>/dev/null | grep -qF "\"$install_w\\vantrel.exe\" \"%1\"" ||
  fail "Open with does not start the installed vantrel.exe"
for e in $extensions; do
  wine reg query "$app\\SupportedTypes" /v "$e" >/dev/null 2>&1 || fail "$e is not among the supported types"
  wine reg query "HKCU\\Software\\Classes\\$e\\OpenWithList\\vantrel.exe" >/dev/null 2>&1 ||
    fail "$e does not offer Open with"
  ! wine reg query "HKCU\\Software\\Classes\\$e" /ve 2>/dev/null | grep -qi vantrel ||
    fail "$e's default program was taken over"
done
pass "Open with for every movie type, no default program taken"

ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=320x240:rate=25:duration=2 -f lavfi -i sine=duration=2 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac "$work/clip.mp4"
wine "$install_w\\vantrel-convert.exe" -o "Z:${work//\//\\}\\out" "Z:${work//\//\\}\\clip.mp4" >"$work/convert.log" 2>&1 ||
  { cat "$work/convert.log" >&2; fail "the installed vantrel-convert.exe failed"; }
codec=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name -of csv=p=0 "$work/out/clip.d3v")
[ "$codec" = mpeg1video ] || fail "the installed converter made no movie (video: '$codec')"
pass "the installed vantrel-convert.exe converted a clip"

# In German, from the catalog installed beside it: the message gettext finds
# in the same catalog of the build.
for f in $(cat "$here/../po/LINGUAS"); do
  [ -s "$install_u/locale/$f/LC_MESSAGES/vantrel.mo" ] || fail "the $f catalog was not installed"
done
german=$(LC_ALL=C.UTF-8 LANGUAGE=de TEXTDOMAINDIR="$build/share/locale" gettext -d vantrel "cannot read: {1}")
[ "$german" != "cannot read: {1}" ] || fail "the build's German catalog has no translation to look for"
# Wine takes the user's language from the C library's locale, which must
# exist: it is compiled here, for this test alone.
localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8" ||
  fail "the German locale could not be compiled (the locales package's definitions)"
LOCPATH=$work/locales LANG=de_DE.UTF-8 LC_ALL= wine "$install_w\\vantrel-convert.exe" "Z:${work//\//\\}\\none.avi" >"$work/german.log" 2>&1 || true
grep -qF "${german%%\{1\}*}" "$work/german.log" ||
  { cat "$work/german.log" >&2; fail "the installed vantrel-convert.exe did not speak German: no '${german%%\{1\}*}'"; }
pass "the installed vantrel-convert.exe speaks the user's language from its catalog"

status=0; wine msiexec /x "$msi_w" /qn || status=$?
[ "$status" -eq 0 ] || fail "the silent uninstall exited with $status"
[ ! -e "$install_u" ] || { find "$install_u" >&2; fail "files were left in $install_w"; }
[ ! -e "$shortcut" ] || fail "the Start-menu entry was left"
! uninstall_entry >/dev/null || fail "the uninstall entry was left"
for key in "$app" "$own" $(for e in $extensions; do echo "HKCU\\Software\\Classes\\$e\\OpenWithList\\vantrel.exe"; done); do
  ! wine reg query "$key" >/dev/null 2>&1 || fail "the key $key was left"
done
pass "uninstalled silently: no file, shortcut, uninstall entry or key left"
