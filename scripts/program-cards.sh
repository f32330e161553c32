#!/usr/bin/env bash
# program-cards.sh PROGRAM: lays the cards out on the test prefix's card
# drives for the program's outside tests (PROGRAM: the folder of
# Quorvel.exe). The sample card (tools/mkcard, made first when missing) goes
# on R:; U: gets the program and no clip folder; T: the sample card with one
# clip cut short.
set -euo pipefail
program=${1:?usage: program-cards.sh PROGRAM}
root=$(cd "$(dirname "$0")/.." && pwd)
card=${DC_TESTDATA:-$root/build/testdata}/card
[ -f "$card/.mkcard-stamp" ] || "$root/tools/mkcard" "$card"
cards=$root/build/winenv/cards
"$root/scripts/card-drive.sh" "$card" "$program" "$cards/r"
"$root/scripts/card-drive.sh" - "$program" "$cards/u"
"$root/scripts/card-drive.sh" "$card" "$program" "$cards/t" --truncate INFI_20240315_093008.mp4 >/dev/null
