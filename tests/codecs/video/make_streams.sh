#!/usr/bin/env bash
# Generates the video conformance streams with FFmpeg and FFmpeg's own decode
# of each (the reference), under build/testdata/video. Work already done is
# skipped. Usage: make_streams.sh [OUTDIR]
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/../../.." && pwd)/build/testdata/video}
mkdir -p "$out"
# Several test programs call this at once: one generates, the others wait.
exec 9>"$out/.streams.lock"
flock 9
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# name  size  frames  source  encoder options
streams=(
  "mpeg4_ip_short|352x288|40|testsrc2|-c:v mpeg4 -g 6 -q:v 4"
  "mpeg4_ip_long|352x288|60|mandelbrot|-c:v mpeg4 -g 300 -q:v 3"
  "mpeg4_bf2|352x288|40|testsrc2|-c:v mpeg4 -g 12 -bf 2 -q:v 4"
  "mpeg4_bf1_mv4_resync|352x288|40|mandelbrot|-c:v mpeg4 -g 30 -bf 1 -flags +mv4 -ps 400 -q:v 3"
  "mpeg4_mv4|352x288|40|mandelbrot|-c:v mpeg4 -g 30 -flags +mv4 -q:v 3"
  "mpeg4_mpegquant|352x288|40|testsrc2|-c:v mpeg4 -g 12 -mpeg_quant 1 -q:v 4"
  "mpeg4_mpegquant_matrix|352x288|40|mandelbrot|-c:v mpeg4 -g 12 -mpeg_quant 1 -q:v 4 -intra_matrix 8,9,10,11,12,13,14,15,9,10,11,12,13,14,15,16,10,11,12,13,14,15,16,17,11,12,13,14,15,16,17,18,12,13,14,15,16,17,18,19,13,14,15,16,17,18,19,20,14,15,16,17,18,19,20,21,15,16,17,18,19,20,21,22 -inter_matrix 16,17,18,19,20,21,22,23,17,18,19,20,21,22,23,24,18,19,20,21,22,23,24,25,19,20,21,22,23,24,25,26,20,21,22,23,24,25,26,27,21,22,23,24,25,26,27,28,22,23,24,25,26,27,28,29,23,24,25,26,27,28,29,30"
  "mpeg4_resync|352x288|40|testsrc2|-c:v mpeg4 -g 12 -ps 300 -q:v 3"
  "mpeg4_odd_size|180x132|40|mandelbrot|-c:v mpeg4 -g 12 -flags +mv4 -q:v 3"
  "mpeg4_qcif_lowq|176x144|40|testsrc2|-c:v mpeg4 -g 25 -qmin 1 -q:v 1"
  "mpeg4_clip_mp4|320x240|30|testsrc2|-c:v mpeg4 -g 15 -q:v 4"
  "h263_qcif|176x144|40|testsrc2|-c:v h263 -g 12 -ps 200 -q:v 4"
  "h263_cif|352x288|40|mandelbrot|-c:v h263 -g 12 -ps 500 -q:v 3"
  "h263_4cif|704x576|20|testsrc2|-c:v h263 -g 12 -ps 1000 -q:v 4"
  "h263p_custom|320x176|40|mandelbrot|-c:v h263p -threads 1 -g 12 -q:v 3"
  "h263p_slices|352x288|10|testsrc2|-c:v h263p -threads 4 -g 12 -q:v 3"
)

for s in "${streams[@]}"; do
  IFS='|' read -r name size frames src opts <<<"$s"
  case "$name" in h263*) ext=h263; fmt=h263 ;; *_mp4) ext=mp4; fmt=mp4 ;; *) ext=m4v; fmt=m4v ;; esac
  stream="$out/$name.$ext"
  ref="$out/$name.ref.yuv"
  if [ ! -s "$stream" ]; then
    # shellcheck disable=SC2086
    ff -f lavfi -i "$src=size=$size:rate=25" -frames:v "$frames" -pix_fmt yuv420p $opts -f $fmt "$stream.tmp.$ext"
    mv "$stream.tmp.$ext" "$stream"
  fi
  if [ ! -s "$ref" ]; then
    ff -threads 1 -i "$stream" -f rawvideo -pix_fmt yuv420p "$ref.tmp"
    mv "$ref.tmp" "$ref"
  fi
done
echo "$out"
