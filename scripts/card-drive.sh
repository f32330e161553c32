#!/usr/bin/env bash
# card-drive.sh CARD PROGRAM DRIVE [--truncate NAME]
# Lays a recorder card out in DRIVE (a card drive's folder of the Wine
# prefix, e.g. build/winenv/cards/r): a copy of CARD's RIVAVEZU folder, and
# the program folder PROGRAM (Quorvel.exe with its Image\ folder) as Player\.
# CARD "-" leaves RIVAVEZU out (a card without clips). --truncate NAME cuts
# the media data of the clip of that file name (in any of the clip folders)
# to its first tenth and keeps its index and its time: the clip opens, and
# its samples lie past the end of the file. Anything DRIVE held before is
# removed, except its volume label file.
set -euo pipefail
card=${1:?usage: card-drive.sh CARD PROGRAM DRIVE [--truncate NAME]}
program=${2:?usage: card-drive.sh CARD PROGRAM DRIVE [--truncate NAME]}
drive=${3:?usage: card-drive.sh CARD PROGRAM DRIVE [--truncate NAME]}
cut=
if [ "${4:-}" = --truncate ]; then cut=${5:?--truncate needs a file name}; fi
[ -f "$program/Quorvel.exe" ] || { echo "card-drive: no Quorvel.exe in $program" >&2; exit 1; }
[ -d "$program/Image" ] || { echo "card-drive: no Image folder in $program" >&2; exit 1; }
mkdir -p "$drive"
find "$drive" -mindepth 1 -maxdepth 1 ! -name .windows-label -exec rm -rf {} +
mkdir -p "$drive/Player"
cp "$program/Quorvel.exe" "$drive/Player/"
cp -r "$program/Image" "$drive/Player/"
if [ "$card" != - ]; then
    [ -d "$card/RIVAVEZU" ] || { echo "card-drive: no RIVAVEZU folder in $card" >&2; exit 1; }
    # -p keeps the modification times: the play list's dates come from them.
    cp -rp "$card/RIVAVEZU" "$drive/"
    if [ -n "$cut" ]; then
        clip=$(find "$drive/RIVAVEZU" -name "$cut" | head -n1)
        [ -n "$clip" ] || { echo "card-drive: no clip $cut" >&2; exit 1; }
        stamp=$(stat -c %Y "$clip")
        # Top-level boxes: ftyp, mdat, moov (as the recorder writes them).
        be32() { od -An -tu1 -j "$2" -N4 "$1" | awk '{print ($1*16777216)+($2*65536)+($3*256)+$4}'; }
        at=0 mdat= mdat_size= moov= moov_size=
        size=$(stat -c %s "$clip")
        while [ "$at" -lt "$size" ]; do
            n=$(be32 "$clip" "$at")
            t=$(dd if="$clip" bs=1 skip=$((at + 4)) count=4 status=none)
            [ "$t" = mdat ] && { mdat=$at; mdat_size=$n; }
            [ "$t" = moov ] && { moov=$at; moov_size=$n; }
            [ "$n" -ge 8 ] || break
            at=$((at + n))
        done
        [ -n "$mdat" ] && [ -n "$moov" ] && [ "$moov" -gt "$mdat" ] ||
            { echo "card-drive: $clip is not laid out as ftyp, mdat, moov" >&2; exit 1; }
        keep=$(( (mdat_size - 8) / 10 ))
        tmp="$clip.cut"
        head -c $((mdat + 8 + keep)) "$clip" >"$tmp"
        tail -c +$((moov + 1)) "$clip" | head -c "$moov_size" >>"$tmp"
        # The media data box's new size, big-endian.
        n=$((keep + 8))
        printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((n >> 24 & 255)) $((n >> 16 & 255)) \
            $((n >> 8 & 255)) $((n & 255)))" | dd of="$tmp" bs=1 seek="$mdat" conv=notrunc status=none
        mv "$tmp" "$clip"
        touch -d "@$stamp" "$clip"
        echo "$clip"
    fi
fi
