#!/usr/bin/env bash
# Decode speed of m4vdec against FFmpeg's single-thread decoder on the same
# 30-second 720x480 and 1280x720 MPEG-4 streams. Prints the median of the
# runs of each and their ratio. Needs an optimised build (no sanitizers):
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build/release --target m4vdec_tool
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${M4VDEC:-$root/build/release/tools/m4vdec}
data=$root/build/testdata/bench
runs=${RUNS:-5}
mkdir -p "$data"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
for s in 720x480 1280x720; do
  f=$data/bench_$s.m4v
  [ -s "$f" ] || ff -f lavfi -i "testsrc2=size=$s:rate=25" -t 30 -c:v mpeg4 -g 250 -q:v 4 "$f"
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
now() { date +%s.%N; }
for s in 720x480 1280x720; do
  f=$data/bench_$s.m4v
  ours=(); theirs=()
  for _ in $(seq "$runs"); do
    t0=$(now); "$tool" "$f" /dev/null >/dev/null; t1=$(now)
    ours+=("$(echo "$t1 - $t0" | bc)")
    t0=$(now); ffmpeg -nostdin -hide_banner -loglevel error -threads 1 -i "$f" -f null - ; t1=$(now)
    theirs+=("$(echo "$t1 - $t0" | bc)")
  done
  a=$(printf '%s\n' "${ours[@]}" | median)
  b=$(printf '%s\n' "${theirs[@]}" | median)
  printf '%-9s m4vdec %.3f s  ffmpeg -threads 1 %.3f s  ratio %.2f\n' "$s" "$a" "$b" "$(echo "$a / $b" | bc -l)"
done
