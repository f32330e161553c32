#!/usr/bin/env bash
# Decode speed of m4vdec against FFmpeg's single-thread decoder on the same
# 30-second MPEG-4 streams: I/P at 720x480 and 1280x720, B-VOPs with
# quarter-pel, and GMC (S-VOPs) with B-VOPs. Prints the median of the runs of
# each, their ratio and the PSNR of our decode against FFmpeg's. Times are
# CPU seconds (user + system) of each process: on a shared machine the wall
# clock mostly measures the other loads. Needs an
# optimised build (no sanitizers):
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build/release --target m4vdec_tool
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${M4VDEC:-$root/build/release/tools/m4vdec}
data=$root/build/testdata/bench
runs=${RUNS:-5}
mkdir -p "$data"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
pan="testsrc2=size=1280x720:rate=25,crop=720:480:x='40+t*12':y='20+t*6'"
zoom="testsrc2=size=720x480:rate=25,zoompan=z='1+0.004*on':d=1:s=720x480"
# name | source | encoder options
streams=(
  "ip_720x480|testsrc2=size=720x480:rate=25|-c:v mpeg4 -g 250 -q:v 4"
  "ip_1280x720|testsrc2=size=1280x720:rate=25|-c:v mpeg4 -g 250 -q:v 4"
  "bvop_qpel_720x480|$pan|-c:v mpeg4 -g 250 -bf 2 -flags +qpel -q:v 4"
  "gmc_720x480|$zoom|-c:v libxvid -gmc 1 -bf 1 -q:v 4"
)
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# CPU seconds (user + system) of a command.
cpu() {
  local TIMEFORMAT='%3U %3S' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  echo "$t" | awk '{print $1 + $2}'
}
for s in "${streams[@]}"; do
  IFS='|' read -r name src opts <<<"$s"
  f=$data/bench_$name.m4v
  # shellcheck disable=SC2086
  [ -s "$f" ] || ff -f lavfi -i "$src" -t 30 -pix_fmt yuv420p $opts -f m4v "$f"
  ours=(); theirs=()
  for _ in $(seq "$runs"); do
    ours+=("$(cpu "$tool" "$f" /dev/null)")
    theirs+=("$(cpu ffmpeg -nostdin -hide_banner -loglevel error -threads 1 -i "$f" -f null -)")
  done
  a=$(printf '%s\n' "${ours[@]}" | median)
  b=$(printf '%s\n' "${theirs[@]}" | median)
  # PSNR of the whole decode against FFmpeg's (Y, U, V averages); PSNR=0
  # leaves it out.
  psnr=skipped
  if [ "${PSNR:-1}" != 0 ]; then
  "$tool" "$f" "$data/$name.ours.yuv" >/dev/null
  size=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 "$f")
  psnr=$(ffmpeg -nostdin -hide_banner -f rawvideo -pix_fmt yuv420p -s "$size" -i "$data/$name.ours.yuv" \
    -threads 1 -i "$f" -lavfi psnr -f null - 2>&1 | sed -n 's/.*PSNR y:\([0-9.inf]*\) u:\([0-9.inf]*\) v:\([0-9.inf]*\).*/Y \1 U \2 V \3 dB/p')
  rm -f "$data/$name.ours.yuv"
  fi
  printf '%-18s m4vdec %.3f s  ffmpeg -threads 1 %.3f s  ratio %.2f  PSNR %s\n' "$name" "$a" "$b" \
    "$(echo "$a / $b" | bc -l)" "$psnr"
done
