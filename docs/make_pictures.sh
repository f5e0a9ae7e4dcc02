#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's pictures with the driver's snapshot (run from the
# repository's root after a build): the handheld with the LCD effects on
# and off, and the frames of one barrel step as a strip.
set -euo pipefail
sim=${1:-build/cantiere-sim}
export QT_QPA_PLATFORM=offscreen
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$sim" docs/pictures.sim >/dev/null
printf '[General]\nLcdEffects=0\n' >"$tmp/plain.ini"
sed -e 's|docs/open.png|docs/open_plain.png|' -e 's|docs/game.png|docs/game_plain.png|' \
  -e 's|docs/game-300.png|docs/game-300_plain.png|' \
  -e 's|docs/closed.png|/dev/null|' -e 's|docs/open-200.png|/dev/null|' \
  docs/pictures.sim >"$tmp/plain.sim"
"$sim" --settings "$tmp/plain.ini" "$tmp/plain.sim" >/dev/null
# At 300 % the lower screen alone, where the effects are seen best.
for f in docs/game-300.png docs/game-300_plain.png; do
  convert "$f" -crop 690x462+354+1035 +repage "$f"
done

# The fade: the right half of the lower girders, doubled, 16 frames.
mkdir -p docs/fade
"$sim" docs/barrel_fade.sim >/dev/null
frames=()
for f in docs/fade/*.png; do
  convert "$f" -crop 100x64+222+398 +repage -scale 200% \
    -gravity south -splice 0x18 -font Liberation-Sans -pointsize 14 \
    -annotate +0+1 "$(basename "$f" .png) ms" "$tmp/$(basename "$f")"
  frames+=("$tmp/$(basename "$f")")
done
montage "${frames[@]}" -tile 8x2 -geometry +2+2 -background '#202020' docs/barrel_fade.png
rm -rf docs/fade
