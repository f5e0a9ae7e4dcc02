#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets the pictures of two builds of cantiere-sim side by side: the same
# states (closed, open mid-fade and settled, several moments of play, a
# held button, the clock) at every zoom step, with the LCD effects on and
# off, and per picture the count of pixels that differ and by how much (the
# largest difference of any channel, in levels of 255).
#
#   tools/compare_look.sh OLD_SIM NEW_SIM [WORK_DIR]
#
# OLD_SIM is a driver built from the revision to compare with (a worktree
# of it, `cmake --build ... --target cantiere-sim`). Exits 1 when any pixel
# differs by more than 1 level.
set -euo pipefail
old=$1 new=$2
work=${3:-$(mktemp -d)}
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

zooms=(100 150 200 250 300 400)
shots() {  # NAME: a snapshot at every zoom
  for z in "${zooms[@]}"; do echo "snapshot OUT/$1-$z.png $z"; done
}
{
  echo "timeofday 10:08:00"
  echo "play 2"
  shots closed
  echo "click Im_Front"
  echo "wait 20"
  shots open-darkening
  echo "wait 280"
  shots open
  echo "press Puls_GameB"
  echo "wait 50"
  shots gameb-held
  echo "release"
  echo "click Puls_ACL"
  echo "wait 300"
  echo "click Puls_GameA"
  echo "wait 600"
  shots game-start
  echo "keydown ctrl"
  echo "keyup ctrl"
  echo "wait 3500"
  echo "keydown ctrl"
  echo "keyup ctrl"
  echo "wait 500"
  shots game-jump
  echo "wait 37"
  shots game-fading
  echo "keydown right"
  echo "wait 200"
  echo "keyup right"
  echo "wait 4013"
  shots game-later
  echo "wait 20000"
  shots game-much-later
  echo "click Puls_ACL"
  echo "press Puls_Time"
  echo "wait 60"
  shots time-held
  echo "release"
  echo "wait 1500"
  shots clock
} >"$work/look.sim"

printf '[General]\nLcdEffects=0\n' >"$work/plain.ini"
printf '[General]\nLcdEffects=1\n' >"$work/effects.ini"
for side in old new; do
  for look in effects plain; do
    mkdir -p "$work/$side/$look"
    sed "s|OUT/|$work/$side/$look/|" "$work/look.sim" >"$work/$side-$look.sim"
    sim=$old
    [[ $side == new ]] && sim=$new
    "$sim" --settings "$work/$look.ini" "$work/$side-$look.sim" >/dev/null
  done
done

worst=0
printf '%-34s %9s %9s  %s\n' picture pixels differing "by (levels: count)"
for a in "$work"/old/*/*.png; do
  rel=${a#"$work"/old/}
  b=$work/new/$rel
  # The per-pixel largest channel difference, as a histogram.
  hist=$(convert "$a" "$b" -compose difference -composite -separate \
    -evaluate-sequence max -depth 8 -format %c histogram:info:- |
    sed -n 's/^ *\([0-9]*\): ([ ]*\([0-9]*\)[,)].*/\2 \1/p' | sort -n)
  total=$(awk '{s += $2} END {print s}' <<<"$hist")
  differing=$(awk '$1 > 0 {s += $2} END {print s + 0}' <<<"$hist")
  spread=$(awk '$1 > 0 {printf "%s:%s ", $1, $2}' <<<"$hist")
  max=$(awk '$1 > m {m = $1} END {print m + 0}' <<<"$hist")
  ((max > worst)) && worst=$max
  printf '%-34s %9s %9s  %s\n' "$rel" "$total" "$differing" "$spread"
done
echo "largest difference: $worst"
((worst <= 1))
