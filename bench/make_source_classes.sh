#!/usr/bin/env bash
# Writes one 20 s clip of each kind of source people convert, made as their
# makers make them, into DIR: a zooming fractal with film grain and motion
# (not a test pattern, which costs nothing to decode), and sound. Every 2 s,
# from 1 s on, the picture flashes white for a sixth of a second and the sound
# beeps at the same moment, so that a converted clip tells its A/V sync.
# Usage: bench/make_source_classes.sh DIR [FFMPEG]. Prints "NAME FILE" lines.
set -euo pipefail

dir=${1:?usage: bench/make_source_classes.sh DIR [FFMPEG]}
ffmpeg=${2:-ffmpeg}
seconds=${SECONDS_LONG:-20}
mkdir -p "$dir"

# PICTURE SIZE RATE: the filter graph of the picture.
picture() {
  local size=$1 rate=$2
  echo "mandelbrot=size=384x216:rate=$rate:maxiter=200,scale=$size:flags=bicubic,noise=alls=4:allf=t,format=yuv420p,drawbox=c=white:t=fill:enable='between(mod(t\\,2)\\,1\\,1.1666)'"
}
# RATE LAYOUT: a voice-like tone that wanders, with the beeps on top.
sound() {
  echo "aevalsrc='0.2*sin(2*PI*220*t+133*sin(2*PI*0.3*t))+0.5*between(mod(t\\,2)\\,1\\,1.1666)*sin(2*PI*1000*t)':s=$1:c=$2"
}

make() {
  local name=$1 file=$2; shift 2
  [[ -s $dir/$file ]] || "$ffmpeg" -nostdin -hide_banner -loglevel error -y "$@" -t "$seconds" "$dir/$file"
  echo "$name $dir/$file"
}

# A DVD: MPEG-2 interlaced top field first, 16:9 on 720x480 pixels, AC-3.
make dvd dvd.vob \
  -f lavfi -i "$(picture 720x480 60000/1001),tinterlace=mode=interleave_top,setfield=tff" \
  -f lavfi -i "$(sound 48000 stereo)" \
  -c:v mpeg2video -flags +ilme+ildct -top 1 -b:v 6M -maxrate 9M -bufsize 1835k -g 15 -bf 2 \
  -aspect 16:9 -c:a ac3 -b:a 192k -f vob
# A DivX-era film: MPEG-4 ASP with B-frames in an AVI, MP3.
make divx divx.avi \
  -f lavfi -i "$(picture 640x352 24000/1001)" -f lavfi -i "$(sound 44100 stereo)" \
  -c:v mpeg4 -vtag XVID -b:v 1200k -bf 1 -g 250 -c:a libmp3lame -b:a 128k
# A camera's 720p motion JPEG in an AVI, with PCM sound.
make mjpeg mjpeg.avi \
  -f lavfi -i "$(picture 1280x720 30)" -f lavfi -i "$(sound 32000 mono)" \
  -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le
# A 1080p h264 film, 30 fps at 8 Mbit/s, AAC.
make h264 h264.mp4 \
  -f lavfi -i "$(picture 1920x1080 30)" -f lavfi -i "$(sound 48000 stereo)" \
  -c:v libx264 -preset veryfast -b:v 8M -maxrate 10M -bufsize 16M -c:a aac -b:a 160k
# A phone's 60 fps HEVC clip, AAC.
make hevc hevc.mp4 \
  -f lavfi -i "$(picture 1920x1080 60)" -f lavfi -i "$(sound 48000 stereo)" \
  -c:v libx265 -preset ultrafast -b:v 12M -tag:v hvc1 -x265-params log-level=error \
  -c:a aac -b:a 128k
# A VP9 WebM, as downloaded, Opus.
make vp9 vp9.webm \
  -f lavfi -i "$(picture 1280x720 30)" -f lavfi -i "$(sound 48000 stereo)" \
  -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 2M -row-mt 1 -c:a libopus -b:a 96k
