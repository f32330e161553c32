#!/usr/bin/env bash
# Whole-process speed of aacdec against FFmpeg's fixed-point (aac_fixed) and
# floating-point (aac) decoders, single-threaded, on the same 10-minute
# stereo streams (48 kHz, and 44.1 kHz with sharp attacks for short
# windows). All decoders write to /dev/null. Prints the median of five runs
# of each and the ratios. Builds a release aacdec in build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/testdata/bench
mkdir -p "$data"
stream=$data/stereo48_10min.aac
if [ ! -s "$stream" ]; then
    ffmpeg -hide_banner -loglevel error -y -f lavfi \
        -i "aevalsrc=0.25*sin(2*PI*440*t+2*sin(2*PI*5*t))+0.1*sin(2*PI*(1500+50*mod(t\,20))*t)+0.03*(random(0)-0.5)|0.2*sin(2*PI*330*t)+0.1*sin(2*PI*2500*t)+0.03*(random(1)-0.5):s=48000:d=600" \
        -c:a aac -b:a 128k "$stream.tmp.aac"
    mv "$stream.tmp.aac" "$stream"
fi
stream44=$data/stereo44_10min.aac
if [ ! -s "$stream44" ]; then
    ffmpeg -hide_banner -loglevel error -y -f lavfi \
        -i "aevalsrc=0.25*sin(2*PI*440*t+2*sin(2*PI*5*t))+0.1*sin(2*PI*(1500+50*mod(t\,20))*t)+0.03*(random(0)-0.5)+0.5*exp(-40*mod(t\,0.37))*sin(2*PI*3000*t)*(random(2)-0.5)*2|0.2*sin(2*PI*330*t)+0.1*sin(2*PI*2500*t)+0.03*(random(1)-0.5):s=44100:d=600" \
        -c:a aac -b:a 128k "$stream44.tmp.aac"
    mv "$stream44.tmp.aac" "$stream44"
fi
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench" --target aacdec_tool -j3 >/dev/null
aacdec=$root/build/bench/tools/aacdec/aacdec
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
timeit() {
    for _ in 1 2 3 4 5; do
        local s e
        s=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        e=$(date +%s.%N)
        echo "$e - $s" | bc -l
    done | median
}
for s in "$stream44" "$stream"; do
    echo "$(basename "$s"):"
    t_ours=$(timeit "$aacdec" "$s" /dev/null)
    t_fixed=$(timeit ffmpeg -hide_banner -threads 1 -c:a aac_fixed -i "$s" -f s16le -y /dev/null)
    t_float=$(timeit ffmpeg -hide_banner -threads 1 -c:a aac -i "$s" -f s16le -y /dev/null)
    printf 'aacdec          %.3f s\n' "$t_ours"
    printf 'ffmpeg aac_fixed %.3f s  (aacdec is %.2fx its speed)\n' "$t_fixed" "$(echo "$t_fixed / $t_ours" | bc -l)"
    printf 'ffmpeg aac       %.3f s  (aacdec is %.2fx its speed)\n' "$t_float" "$(echo "$t_float / $t_ours" | bc -l)"
done
