#!/bin/sh
# Writes the template of every text the user reads (gettext's .pot) to OUT:
# the program's texts marked in its C++ sources, and the desktop entry's and
# the software centre listing's.
#   po/extract_texts.sh SOURCE_DIR OUT
set -eu
source_dir=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$source_dir"
# Tests, the fuzzer and the benchmark show nothing to users.
find parse platform encoder conversion ui app cli -name tests -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
    LC_ALL=C sort > "$work/files"
xgettext --language=C++ --from-code=UTF-8 --keyword= --keyword=Tr --keyword=TrN:1,2 --keyword=TextToTranslate \
    --add-comments=TRANSLATORS: --package-name=vantrel --msgid-bugs-address= --sort-by-file \
    --files-from="$work/files" -o "$work/code.pot" 2> "$work/warnings" || { cat "$work/warnings" >&2; exit 1; }
# Nowhere to send reports of a text's fault is said in the template itself.
grep -v -e 'msgid-bugs-address' -e 'Makevars' -e 'MSGID_BUGS_ADDRESS' -e 'command line option' "$work/warnings" >&2 || true
xgettext --from-code=UTF-8 -o "$work/listing.pot" app/vantrel.desktop packaging/io.vantrel.Converter.metainfo.xml
msgcat --use-first --sort-by-file "$work/code.pot" "$work/listing.pot" -o "$out"
