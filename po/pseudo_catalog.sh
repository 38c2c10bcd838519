#!/bin/sh
# Writes a catalog of the pseudo-language "qps" for TEMPLATE to OUT: each text
# bracketed and about 40 % longer, so that a window in it shows a text that
# skips the catalog (no brackets) and a label too narrow for a long
# translation (a cut-off bracket).
#   po/pseudo_catalog.sh TEMPLATE OUT
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
msgen "$1" | sed 's/^"Content-Type: text\/plain; charset=CHARSET/"Content-Type: text\/plain; charset=UTF-8/' \
    > "$work/en.po"
# The numbered places ({1}) and a line's end stay as they are; the padding is
# 2 characters per 5, after the text, inside the brackets.
msgfilter --keep-header -i "$work/en.po" -o "$work/qps.po" \
    perl -CS -0777 -pe 's/^(.*?)(\n*)\z/"[" . $1 . ("~" x int((length($1) * 2 + 4) \/ 5)) . "]" . $2/se'
msgattrib --no-fuzzy -o "$2" "$work/qps.po"
sed -i -e '/^#, fuzzy$/d' -e 's/^"PO-Revision-Date: .*$/"PO-Revision-Date: 2026-12-08 00:00+0000\\n"/' \
    -e 's/^"Last-Translator: .*$/"Last-Translator: none\\n"/' -e 's/^"Language-Team: .*$/"Language-Team: none\\n"/' \
    -e 's/^"Plural-Forms: .*$/"Plural-Forms: nplurals=2; plural=(n != 1);\\n"/; s/^"Language: .*$/"Language: qps\\n"/' "$2"
