#!/usr/bin/env bash
# Generates the conformance streams of the extended coding tools (B-VOPs,
# quarter-pel, interlace, GMC, packed bitstreams) with FFmpeg's mpeg4 and
# libxvid encoders, and FFmpeg's own decode of each (the reference), under
# build/testdata/video. Work already done is skipped.
# Usage: make_tool_streams.sh [OUTDIR]
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/../../.." && pwd)/build/testdata/video}
mkdir -p "$out"
# Several test programs call this at once: one generates, the others wait.
exec 9>"$out/.tool_streams.lock"
flock 9
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

zoom="testsrc2=size=320x240:rate=25,zoompan=z='1+0.01*on':d=1:s=320x240"
zoom_a="testsrc2=size=168x136:rate=25,zoompan=z='1+0.01*on':d=1:s=168x136"
zoom_b="testsrc2=size=240x160:rate=25,zoompan=z='1.25':x='on*1.5':y='on':d=1:s=200x120"
field="testsrc2=size=320x240:rate=50,zoompan=z='1+0.01*on':d=1:s=320x240,interlace"
# Panning and zooming fields: B-VOPs with many field vectors and field direct.
field_pan="testsrc2=size=640x480:rate=50,zoompan=z='1+0.02*on':x='on*6':y='on*3':d=1:s=320x240,interlace"
field_pan_720="testsrc2=size=1440x960:rate=50,zoompan=z='1+0.02*on':x='on*15':y='on*9':d=1:s=720x480,interlace"
small_zoom="testsrc2=size=176x144:rate=25,zoompan=z='1+0.01*on':d=1:s=176x144"
# name | source | frames | encoder options
streams=(
  "tools_bf1_long|mandelbrot=size=176x144:rate=25|30|-c:v mpeg4 -g 300 -bf 1 -q:v 3"
  "tools_bf2_short|testsrc2=size=176x144:rate=25|30|-c:v mpeg4 -g 5 -bf 2 -q:v 4"
  "tools_qpel_bf1|mandelbrot=size=320x240:rate=25|30|-c:v mpeg4 -g 12 -flags +qpel -bf 1 -q:v 3"
  "tools_qpel_mv4_bf2|mandelbrot=size=176x144:rate=25|30|-c:v mpeg4 -g 300 -flags +qpel+mv4 -bf 2 -q:v 3"
  "tools_qpel_packets|$zoom|30|-c:v mpeg4 -g 30 -flags +qpel+mv4 -bf 2 -ps 200 -q:v 3"
  "tools_mv4_packets|$zoom|30|-c:v mpeg4 -g 30 -flags +mv4 -bf 2 -ps 200 -q:v 3"
  "tools_interlaced|$field|30|-c:v mpeg4 -g 12 -flags +ildct+ilme -alternate_scan 1 -bf 2 -q:v 3"
  "tools_interlaced_pan|$field_pan|30|-c:v mpeg4 -g 12 -flags +ildct+ilme -alternate_scan 1 -bf 2 -q:v 3"
  "tools_interlaced_pan_720|$field_pan_720|30|-c:v mpeg4 -g 12 -flags +ildct+ilme -alternate_scan 1 -bf 2 -top 1 -q:v 3"
  "tools_interlaced_qpel|$field|20|-c:v mpeg4 -g 12 -flags +ildct+ilme+qpel+mv4 -top 0 -bf 1 -mpeg_quant 1 -q:v 3"
  "tools_xvid_gmc|$zoom|30|-c:v libxvid -gmc 1 -q:v 3"
  "tools_xvid_gmc_168x136|$zoom_a|30|-c:v libxvid -gmc 1 -q:v 3"
  "tools_xvid_gmc_200x120|$zoom_b|30|-c:v libxvid -gmc 1 -q:v 3"
  "tools_xvid_gmc_qpel|$zoom|30|-c:v libxvid -gmc 1 -flags +qpel -q:v 3"
  "tools_xvid_gmc_bf1|$zoom|30|-c:v libxvid -gmc 1 -bf 1 -q:v 3"
  "tools_xvid_gmc_bf2|$zoom|30|-c:v libxvid -gmc 1 -bf 2 -q:v 3"
  "tools_xvid_mpegquant_qpel|mandelbrot=size=176x144:rate=25|30|-c:v libxvid -mpeg_quant 1 -flags +qpel -bf 1 -q:v 3"
)

for s in "${streams[@]}"; do
  IFS='|' read -r name src frames opts <<<"$s"
  stream="$out/$name.m4v"
  ref="$out/$name.ref.yuv"
  if [ ! -s "$stream" ]; then
    # shellcheck disable=SC2086
    ff -f lavfi -i "$src" -frames:v "$frames" -pix_fmt yuv420p $opts -f m4v "$stream.tmp"
    mv "$stream.tmp" "$stream"
  fi
  if [ ! -s "$ref" ]; then
    ff -threads 1 -i "$stream" -f rawvideo -pix_fmt yuv420p "$ref.tmp"
    mv "$ref.tmp" "$ref"
  fi
done

# Stream endings: interlaced xvid with B-VOPs, packed (its own N-VOPs) and
# unpacked, and the mpeg4 encoder, at frame counts that end on a B-VOP pair
# before the last I or P picture and on an I or P right after the previous one.
# libxvid can drop a final B-VOP: the reference keeps FFmpeg's decoded
# pictures as they are, without the frame-rate filling of the command line.
ends=(
  "xvid_packed|-c:v libxvid -flags +ildct+ilme -bf 2 -g 12"
  "xvid_unpacked|-c:v libxvid -flags +ildct+ilme -bf 2 -g 12 -bsf:v mpeg4_unpack_bframes"
  "mpeg4|-c:v mpeg4 -flags +ildct+ilme -bf 2 -g 12 -q:v 3"
)
for e in "${ends[@]}"; do
  IFS='|' read -r kind opts <<<"$e"
  for frames in 24 25 26 27; do
    stream="$out/tools_end_${kind}_$frames.m4v"
    ref="$out/tools_end_${kind}_$frames.ref.yuv"
    if [ ! -s "$stream" ]; then
      # shellcheck disable=SC2086
      ff -f lavfi -i "$small_zoom" -frames:v "$frames" -pix_fmt yuv420p $opts -f m4v "$stream.tmp"
      mv "$stream.tmp" "$stream"
    fi
    if [ ! -s "$ref" ]; then
      ff -threads 1 -i "$stream" -fps_mode passthrough -f rawvideo -pix_fmt yuv420p "$ref.tmp"
      mv "$ref.tmp" "$ref"
    fi
  done
done

# A new VOL of the same size with other tools in mid-stream: plain, then
# quarter-pel with B-VOPs, then interlaced. The reference is FFmpeg's decode
# of each part on its own.
vc="$out/tools_vol_change.m4v"
if [ ! -s "$vc" ] || [ ! -s "$out/tools_vol_change.ref.yuv" ]; then
  parts=("-c:v mpeg4 -g 10 -q:v 4" "-c:v mpeg4 -g 10 -flags +qpel -bf 1 -q:v 4"
         "-c:v mpeg4 -g 10 -flags +ildct+ilme -q:v 4")
  : >"$vc.tmp"
  : >"$out/tools_vol_change.ref.yuv.tmp"
  for k in 0 1 2; do
    # shellcheck disable=SC2086
    ff -f lavfi -i "mandelbrot=size=176x144:rate=25" -frames:v 10 -pix_fmt yuv420p ${parts[$k]} \
      -f m4v "$vc.part"
    ff -threads 1 -i "$vc.part" -f rawvideo -pix_fmt yuv420p "$vc.part.yuv"
    cat "$vc.part" >>"$vc.tmp"
    cat "$vc.part.yuv" >>"$out/tools_vol_change.ref.yuv.tmp"
  done
  rm -f "$vc.part" "$vc.part.yuv"
  mv "$out/tools_vol_change.ref.yuv.tmp" "$out/tools_vol_change.ref.yuv"
  mv "$vc.tmp" "$vc"
fi
echo "$out"
