#!/usr/bin/env bash
# Whole-process speed of aacdec on a 10-minute HE-AAC stereo stream (24 kHz
# AAC-LC core from FFmpeg, SBR payloads added by sbrsplice, 48 kHz output)
# against FFmpeg's fixed-point (aac_fixed) and floating-point (aac)
# decoders, single-threaded. Prints the median of five runs of each and the
# ratios. Builds release aacdec and sbrsplice in build/bench.
#   --v2  HE-AAC v2 instead: a mono 24 kHz core with SBR and parametric
#         stereo (sbrsplice --ps), 48 kHz stereo out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/testdata/bench
mkdir -p "$data"
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench" --target aacdec_tool sbrsplice -j3 >/dev/null
aacdec=$root/build/bench/tools/aacdec/aacdec
if [ "${1:-}" = --v2 ]; then
    label="HE-AAC v2 (mono core + parametric stereo), 10 min, 48 kHz stereo out"
    core=$data/mono24_10min_lc.aac stream=$data/mono24_10min_v2.aac layout=mono splice=(--ps --seed 4)
else
    label="HE-AAC stereo, 10 min, 48 kHz out"
    core=$data/stereo24_10min_lc.aac stream=$data/stereo24_10min_he.aac layout=stereo splice=(--seed 4)
fi
if [ ! -s "$core" ]; then
    ffmpeg -hide_banner -loglevel error -y -f lavfi \
        -i "aevalsrc=0.25*sin(2*PI*440*t+2*sin(2*PI*5*t))+0.1*sin(2*PI*(1500+50*mod(t\,20))*t)+0.03*(random(0)-0.5)|0.2*sin(2*PI*330*t)+0.1*sin(2*PI*2500*t)+0.03*(random(1)-0.5):s=24000:d=600" \
        -ac "$([ $layout = mono ] && echo 1 || echo 2)" -c:a aac -b:a 48k "$core.tmp.aac"
    mv "$core.tmp.aac" "$core"
fi
if [ ! -s "$stream" ]; then
    "$root/build/bench/tools/sbrsplice/sbrsplice" "$core" "$stream.tmp.aac" "${splice[@]}" >/dev/null
    mv "$stream.tmp.aac" "$stream"
fi

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
# Like FFmpeg below, the decoded samples go to /dev/null.
t_ours=$(timeit "$aacdec" "$stream" /dev/null)
t_fixed=$(timeit ffmpeg -hide_banner -threads 1 -c:a aac_fixed -i "$stream" -f s16le -y /dev/null)
t_float=$(timeit ffmpeg -hide_banner -threads 1 -c:a aac -i "$stream" -f s16le -y /dev/null)
printf '%s\n' "$label"
printf 'aacdec           %.3f s\n' "$t_ours"
printf 'ffmpeg aac_fixed %.3f s  (aacdec is %.2fx its speed)\n' "$t_fixed" "$(echo "$t_fixed / $t_ours" | bc -l)"
printf 'ffmpeg aac       %.3f s  (aacdec is %.2fx its speed)\n' "$t_float" "$(echo "$t_float / $t_ours" | bc -l)"
