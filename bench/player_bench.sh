#!/usr/bin/env bash
# Whole-process measures of the player under Wine, driven with uidrive:
#   - start to the window with its list built, for the sample card and for a
#     card of 2048 clips;
#   - double-click on a row to the first change of the video area's pixels;
#   - CPU seconds per second of playback of the sample card's 1280x720 clip
#     in the player, against playclip on the same clip.
# Prints the median of RUNS runs (default 5) of each. Needs the Windows build
# that ./test uses (build/win64 where 32-bit code cannot run, else
# build/win32) with Quorvel, uidrive and playclip, and the sample card
# (build/testdata/card, made by tools/mkcard).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${RUNS:-5}
. scripts/win-env.sh vars
build=build/win32
[ "$DC_WINE_BIN" = wine ] || build=build/win64
for t in app/Quorvel.exe tools/uidrive/uidrive.exe tools/playclip.exe; do
    [ -f "$build/$t" ] || { echo "player_bench: no $build/$t (build it first)" >&2; exit 1; }
done
card=build/testdata/card
[ -f "$card/.mkcard-stamp" ] || tools/mkcard "$card"
cards=build/winenv/cards
median() { sort -n | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "-"}'; }
ui() { scripts/wine-exec.sh "$build/tools/uidrive/uidrive.exe" "$@" | tr -d '\r'; }
value() { sed -n "s/^$1=//p" | head -n1; }
# CPU ticks (user + system) of a unix process.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
unix_pid() { pgrep -f -n "^$1" || true; }  # newest process whose command starts so

# A card of 2048 clips: the sample card's smallest clip under 2048 names,
# one a second (their times give the list's order).
big=build/testdata/card2048
if [ ! -f "$big/.done" ]; then
    rm -rf "$big" && mkdir -p "$big/RIVAVEZU"
    src=$card/RIVAVEZU/INFINITE/INFI_20240315_093004.mp4
    t0=$(date -u -d 2024-03-15T00:00:00 +%s)
    for i in $(seq 0 2047); do
        t=$((t0 + i * 60))
        f=$big/RIVAVEZU/REC_$(date -u -d "@$((t + 9 * 3600))" +%Y%m%d_%H%M%S).mp4
        cp "$src" "$f" && touch -d "@$t" "$f"
    done
    touch "$big/.done"
fi
scripts/card-drive.sh "$card" "$build/app" "$cards/r"
scripts/card-drive.sh "$big" "$build/app" "$cards/u"

scripts/win-env.sh start
trap 'scripts/win-env.sh stop' EXIT

close() {
    ui command --title Trellmar --id 1037 >/dev/null || true
    ui wait --title Trellmar --gone --timeout 20000 >/dev/null || true
    sleep 1
}

echo "== start to the window with its list built (ms, median of $runs)"
for c in "R 5 sample card" "U 2048 card of 2048 clips"; do
    read -r drive rows name <<<"$c"
    win=() list=()
    for _ in $(seq "$runs"); do
        out=$(ui start --title Trellmar --exe "$drive:\\Player\\Quorvel.exe" --id 1035 \
            --min-rows "$rows" --timeout 120000)
        win+=("$(value window_ms <<<"$out")")
        list+=("$(value rows_ms <<<"$out")")
        close
    done
    echo "$name: window $(printf '%s\n' "${win[@]}" | median) ms, list of $rows rows $(printf '%s\n' "${list[@]}" | median) ms"
done

echo "== double-click on a row to the first picture (ms, median of $runs)"
pic=()
for _ in $(seq "$runs"); do
    ui start --title Trellmar --exe 'R:\Player\Quorvel.exe' --id 1035 --min-rows 5 --timeout 60000 >/dev/null
    out=$(ui dblclick-row --title Trellmar --id 1035 --row 0 --watch 1001 --timeout 10000 || true)
    pic+=("$(value changed_ms <<<"$out")")
    close
done
echo "first picture: $(printf '%s\n' "${pic[@]}" | grep . | median) ms ($(printf '%s\n' "${pic[@]}" | grep -c .) of $runs runs showed one)"

echo "== CPU seconds per second of playback, 1280x720 clip (median of $runs)"
clip=$card/RIVAVEZU/INFINITE/INFI_20240315_093008.mp4
secs=3  # the clip's length
player=() pc=()
for _ in $(seq "$runs"); do
    ui start --title Trellmar --exe 'R:\Player\Quorvel.exe' --id 1035 --min-rows 5 --timeout 60000 >/dev/null
    pid=$(unix_pid 'R:.Player.Quorvel.exe')
    sleep 1
    a=$(ticks "$pid")
    # Row 2 is the 1280x720 clip; its end selects row 3.
    ui dblclick-row --title Trellmar --id 1035 --row 2 >/dev/null
    for _ in $(seq 100); do
        ui listview --title Trellmar --id 1035 | grep -q '^row=3 col=0 selected=1' && break
        sleep 0.1
    done
    b=$(ticks "$pid")
    player+=("$(awk -v t=$((b - a)) -v hz="$hz" -v s=$secs 'BEGIN {printf "%.3f", t / hz / s}')")
    close
    # playclip: the whole run (start, open, play) over the clip's length.
    out=$( { /usr/bin/time -f '%U %S' scripts/wine-exec.sh "$build/tools/playclip.exe" \
        "$(sed 's|/|\\|g; s|^|Z:|' <<<"$(pwd)/$clip")" --seconds $secs >/dev/null; } 2>&1 | tail -n1)
    pc+=("$(awk -v u="${out% *}" -v s="${out#* }" -v d=$secs 'BEGIN {printf "%.3f", (u + s) / d}')")
done
p=$(printf '%s\n' "${player[@]}" | median)
q=$(printf '%s\n' "${pc[@]}" | median)
echo "player: $p CPU s/s; playclip: $q CPU s/s; ratio $(awk -v p="$p" -v q="$q" 'BEGIN {if (q > 0) printf "%.2f", p / q; else print "-"}')"
