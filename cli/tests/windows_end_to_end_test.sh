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

# Subtitles from a Windows-1252 file beside a clip whose name holds the
# characters a filter graph reads as its own, drawn by ffmpeg.exe in the
# font the zip carries, in the bottom bar of a 16:9 picture; and a quiet
# clip brought to a small speaker's loudness.
mkdir fonts && cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf fonts/
name="Film Teil 1 [2020], 'Final Cut'; a=b"
ffmpeg -nostdin -v error -f lavfi -i "testsrc2=s=640x360:r=25:d=6,lutyuv=y=val*0.6" \
    -f lavfi -i "anoisesrc=c=pink:a=0.1:d=6" -c:v libx264 -preset ultrafast -pix_fmt yuv420p \
    -c:a aac "$name.mp4"
printf '1\r\n00:00:01,000 --> 00:00:03,000\r\nCaf\351 cr\350me, na\357ve\r\n' >"$name.srt"
status=0
"$wine_run" ./vantrel-convert.exe "$name.mp4" >subtitled.txt 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the subtitled conversion ended with $status: $(cat subtitled.txt)"
target=$(echo "$name" | tr 'A-Z' 'a-z').d3v
# white FIRST_LINE LINES SECONDS: the nearly white pixels of those lines then.
white() {
    ffmpeg -nostdin -v error -ss "$3" -i "file:$target" -frames:v 1 -vf "crop=256:$2:0:$1" \
        -f rawvideo -pix_fmt gray - | od -An -tu1 -v | tr -s ' ' '\n' | awk '$1 > 200' | wc -l
}
[ "$(white 168 24 2)" -gt 40 ] || fail "no subtitles in the bottom bar at 0:02: $(cat subtitled.txt)"
[ "$(white 0 160 2)" -eq 0 ] || fail "subtitles drawn outside the bottom bar"
[ "$(white 0 192 5)" -eq 0 ] || fail "subtitles drawn after their cue"
loudness=$(ffmpeg -nostdin -i "file:$target" -af ebur128 -f null - 2>&1 | awk '$1 == "I:" { i = $2 } END { print i }')
awk -v i="$loudness" 'BEGIN { exit !(i >= -17.5 && i <= -14.5) }' ||
    fail "the quiet clip came out at $loudness LUFS, not about -16"
[ ! -e "$target.part" ] && [ ! -e "$target.part.srt" ] || fail "a temporary file was left: $(ls)"
echo "subtitles and loudness under wine: $(white 168 24 2) white pixels in the bar, $loudness LUFS"
