#!/usr/bin/env bash
# Makes the small FFmpeg-encoded MP4 clips the reader and mp4info tests use,
# under $1 (default build/testdata/mp4). Clips already there are kept.
set -euo pipefail
out=${1:-build/testdata/mp4}
mkdir -p "$out"
ff() {
    local name=$1
    shift
    [ -s "$out/$name" ] && return 0
    ffmpeg -nostdin -hide_banner -loglevel error -y "$@" "$out/$name.tmp.mp4"
    mv "$out/$name.tmp.mp4" "$out/$name"
}
# Recorder-like: MPEG-4 part 2 with AAC, moov after mdat (as a recorder writes).
ff mpeg4_aac_mono.mp4 -f lavfi -i testsrc=size=176x144:rate=10 -f lavfi -i sine=frequency=440:sample_rate=8000 \
    -t 3 -c:v mpeg4 -g 10 -c:a aac -ac 1 -b:a 24k
# moov first, stereo 44.1 kHz, 25 fps.
ff mpeg4_aac_faststart.mp4 -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=300:sample_rate=44100 \
    -t 2 -c:v mpeg4 -g 12 -c:a aac -ac 2 -b:a 64k -movflags +faststart
# H.263 in s263 with AAC at 16 kHz.
ff h263_aac.mp4 -f lavfi -i testsrc=size=176x144:rate=15 -f lavfi -i sine=frequency=500:sample_rate=16000 \
    -t 2 -c:v h263 -g 15 -c:a aac -ac 1 -b:a 32k -f 3gp
# B-VOPs (composition offsets), video only.
ff mpeg4_bframes.mp4 -f lavfi -i testsrc=size=160x120:rate=30 -t 2 -c:v mpeg4 -bf 2 -g 30
# Audio only.
ff aac_only.mp4 -f lavfi -i sine=frequency=1000:sample_rate=22050 -t 2 -c:a aac -ac 2 -b:a 48k
