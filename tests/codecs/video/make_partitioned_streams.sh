#!/usr/bin/env bash
# Generates the conformance streams of the data-partitioned decoders, and of
# pictures whose size is not a multiple of 16 with vectors across the edges,
# with FFmpeg and FFmpeg's own decode of each (the reference), under
# build/testdata/video. Work already done is skipped. Usage: make_partitioned_streams.sh [OUTDIR]
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/../../.." && pwd)/build/testdata/video}
mkdir -p "$out"
# Several test programs call this at once: one generates, the others wait.
exec 9>"$out/.partitioned_streams.lock"
flock 9
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# name  size  frames  source  encoder options
streams=(
  "mpeg4_dp|176x144|30|testsrc2|-c:v mpeg4 -g 12 -data_partitioning 1 -ps 200 -q:v 3"
  "mpeg4_dp_bf1|320x240|30|mandelbrot|-c:v mpeg4 -g 15 -bf 1 -flags +mv4 -data_partitioning 1 -ps 200 -b:v 300k"
  "mpeg4_dp_intra_p|176x144|30|mandelbrot|-vf geq=lum=if(gt(mod(N\\,6)\\,2)\\,255-lum(X\\,Y)\\,lum(X\\,Y)):cb=cb(X\\,Y):cr=cr(X\\,Y) -c:v mpeg4 -g 30 -sc_threshold 1000000000 -data_partitioning 1 -ps 200 -q:v 4"
  "mpeg4_dp_qpel|176x144|30|mandelbrot|-c:v mpeg4 -g 12 -flags +qpel -data_partitioning 1 -ps 200 -q:v 3"
  "mpeg4_odd_size_pan|168x136|30|testsrc2|-vf scroll=h=0.01:v=0.007 -c:v mpeg4 -g 30 -flags +mv4 -q:v 2"
  "mpeg4_odd_size_qpel|168x136|30|testsrc2|-vf scroll=h=0.01:v=0.007 -c:v mpeg4 -g 30 -flags +mv4+qpel -q:v 2"
  "mpeg4_odd_size_interlaced|168x136|20|testsrc2|-vf scroll=h=0.01:v=0.007 -c:v mpeg4 -g 30 -flags +ildct+ilme -bf 1 -q:v 2"
)

for s in "${streams[@]}"; do
  IFS='|' read -r name size frames src opts <<<"$s"
  stream="$out/$name.m4v"
  ref="$out/$name.ref.yuv"
  if [ ! -s "$stream" ]; then
    # shellcheck disable=SC2086
    ff -f lavfi -i "$src=size=$size:rate=25" -frames:v "$frames" -pix_fmt yuv420p $opts -f m4v "$stream.tmp.m4v"
    mv "$stream.tmp.m4v" "$stream"
  fi
  if [ ! -s "$ref" ]; then
    ff -threads 1 -i "$stream" -f rawvideo -pix_fmt yuv420p "$ref.tmp"
    mv "$ref.tmp" "$ref"
  fi
done
echo "$out"
