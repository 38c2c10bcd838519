#!/bin/sh
# vantrel-convert.exe under wine, beside the real ffmpeg.exe as the zip lays
# them out: it converts a clip whose name has blanks and a non-ASCII letter;
# Ctrl-Break stops it with no encoder and no partial file left; and ending it
# with TerminateProcess takes its encoder with it.
#   windows_end_to_end_test.sh WINE_RUN VANTREL_CONVERT_EXE STOP_DRIVER_EXE FFMPEG_EXE
set -eu
wine_run=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$2" "$3" "$dir/"
ln -s "$4" "$dir/ffmpeg.exe"
cd "$dir"
# wine reads the words it passes on in the locale's character set.
export LC_ALL=C.UTF-8
fail() { printf 'FAILED: %s\n' "$*" >&2; exit 1; }
clip() {
    ffmpeg -nostdin -v error -f lavfi -i "testsrc2=s=$2" -f lavfi -i "$3" -t "$4" \
        -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac "$1"
}

clip "Mon clip é.MP4" 640x480:r=25 sine 2
status=0
"$wine_run" ./vantrel-convert.exe "Mon clip é.MP4" >out.txt 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the conversion ended with $status: $(cat out.txt)"
grep -q "^Target: .*\\\\mon clip é\.d3v" out.txt || fail "the target is not named right: $(cat out.txt)"
found=$(ffprobe -v error -of csv=p=0 -show_entries format=format_name:stream=codec_name,width,height,r_frame_rate,sample_rate,channels "file:mon clip é.d3v")
[ "$found" = "$(printf 'mpeg1video,256,192,12/1\nmp2,22050,1,0/0\nmpeg')" ] ||
    fail "the converted file holds: $found"

# Long, so that a stop at its first tenth comes well before its end; one
# frame a second keeps making and reading it cheap.
clip long.mp4 320x240:r=1 anullsrc=r=8000:cl=mono 600
for how in ctrl-break terminate; do
    "$wine_run" ./win32_stop_driver.exe $how vantrel-convert.exe long.mp4 | tr -d '\r' >$how.txt
    grep -qx "encoder found: yes" $how.txt || fail "$how: $(cat $how.txt)"
    if [ $how = ctrl-break ]; then
        grep -qx "exit code: 130" $how.txt && grep -qx "encoder ended before the program: yes" $how.txt ||
            fail "$how: $(cat $how.txt)"
        [ ! -e long.d3v ] && [ ! -e long.d3v.part ] || fail "$how left the partial file behind"
    fi
done
