#!/usr/bin/env bash
# Decodes every AAC test stream under build/testdata (the 10-minute bench
# streams left out) with aacdec and prints an md5 of each output, to check
# that a change keeps the output bit for bit: run it before and after and
# diff the lists. Usage: decode_md5.sh [aacdec] > list
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
dec=${1:-$root/build/native/tools/aacdec/aacdec}
tmp=$(mktemp -d)
find "$root/build/testdata" -path '*/bench' -prune -o \( -name '*.aac' -o -name '*.m4a' \) ! -name '*.tmp.*' -print | sort | while read -r f; do
    rel=${f#$root/build/testdata/}
    if "$dec" "$f" "$tmp/o.wav" >/dev/null 2>&1; then
        echo "$(md5sum < "$tmp/o.wav" | cut -c1-32) $rel"
    else
        echo "FAIL $rel"
    fi
done
rm -rf "$tmp"
