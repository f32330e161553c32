#!/usr/bin/env bash
# Makes the AAC conformance streams with FFmpeg's aac encoder and FFmpeg's own
# decode of each (16-bit PCM) under $1 (default build/testdata/aac). Streams
# already there are kept.
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/../../.." && pwd)/build/testdata/aac}
mkdir -p "$out"
# Several test programs call this at once: one generates, the others wait.
exec 9>"$out/.streams.lock"
flock 9
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }

# name  rate  channels  container  encoder options  source
# Sources: a chord with vibrato; for stereo a different chord on the right;
# "hits" adds sharp attacks that force short windows.
src() {
    local rate=$1 ch=$2 kind=$3
    local l="0.25*sin(2*PI*440*t+2*sin(2*PI*5*t))+0.15*sin(2*PI*660*t)+0.08*sin(2*PI*(1500+500*t)*t)+0.02*(random(0)-0.5)"
    local r="0.2*sin(2*PI*330*t)+0.12*sin(2*PI*990*t+sin(2*PI*3*t))+0.06*sin(2*PI*2500*t)+0.02*(random(1)-0.5)"
    if [ "$kind" = hits ]; then
        l="$l+0.6*exp(-40*mod(t\\,0.37))*sin(2*PI*3000*t)*(random(2)-0.5)*2"
        r="$r+0.6*exp(-40*mod(t+0.1\\,0.41))*sin(2*PI*2200*t)*(random(3)-0.5)*2"
    fi
    if [ "$kind" = wide ]; then
        # the same high band in both channels at different levels: intensity stereo
        l="$l+0.1*sin(2*PI*7000*t)+0.05*sin(2*PI*9000*t)"
        r="$r+0.06*sin(2*PI*7000*t)+0.03*sin(2*PI*9000*t)"
    fi
    if [ "$ch" = 1 ]; then
        echo "aevalsrc=$l:s=$rate:d=3"
    else
        echo "aevalsrc=$l|$r:s=$rate:d=3"
    fi
}

make() {
    local name=$1 rate=$2 ch=$3 fmt=$4 kind=$5 opts=$6
    local file="$name.$fmt"
    if [ ! -s "$file" ]; then
        # shellcheck disable=SC2086
        ff -f lavfi -i "$(src "$rate" "$ch" "$kind")" -c:a aac $opts "$file.tmp.$fmt"
        mv "$file.tmp.$fmt" "$file"
    fi
    if [ ! -s "$name.s16" ]; then
        # FFmpeg's decode, all frames, no priming samples removed
        local demux=()
        [ "$fmt" = m4a ] && demux=(-ignore_editlist 1)
        ff "${demux[@]}" -i "$file" -f s16le "$name.s16.tmp"
        mv "$name.s16.tmp" "$name.s16"
    fi
}

# PNS off: waveform comparison
make mono48      48000 1 aac plain "-b:a 96k -aac_pns 0"
make stereo44    44100 2 aac plain "-b:a 128k -aac_pns 0"
make stereo32    32000 2 aac plain "-b:a 96k -aac_pns 0"
make mono24      24000 1 aac plain "-b:a 48k -aac_pns 0"
make stereo22    22050 2 aac plain "-b:a 64k -aac_pns 0"
make mono16      16000 1 aac plain "-b:a 32k -aac_pns 0"
make stereo12    12000 2 aac plain "-b:a 32k -aac_pns 0"
make mono11      11025 1 aac plain "-b:a 24k -aac_pns 0"
make mono8        8000 1 aac plain "-b:a 16k -aac_pns 0"
make stereo8      8000 2 aac plain "-b:a 24k -aac_pns 0"
make ms48        48000 2 aac plain "-b:a 96k -aac_pns 0 -aac_ms 1 -aac_is 0"
make is48        48000 2 aac wide  "-b:a 48k -aac_pns 0 -aac_is 1 -aac_ms 1"
make tns44       44100 2 aac hits  "-b:a 128k -aac_pns 0 -aac_tns 1"
make short48     48000 1 aac hits  "-b:a 96k -aac_pns 0 -aac_tns 0"
make mp4mono48   48000 1 m4a plain "-b:a 96k -aac_pns 0"
make mp4stereo44 44100 2 m4a hits  "-b:a 128k -aac_pns 0 -aac_tns 1"
make mp4stereo16 16000 2 m4a wide  "-b:a 32k -aac_pns 0"
# PNS on: band energies only
make pns48       48000 2 aac plain "-b:a 48k -aac_pns 1"
make pns22       22050 1 aac plain "-b:a 24k -aac_pns 1"
