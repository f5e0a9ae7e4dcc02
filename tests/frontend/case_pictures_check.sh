#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The committed case pictures and icons are what make_case_pictures makes
# now, and the icon exists at every size of the desktop's hicolor theme.
# The photographs must be the same byte for byte; the icons, cut from the
# case along its anti-aliased outline by Qt's painter, whose vector code
# rounds an edge pixel a level apart on some processors, must be the same
# pictures within one level of 255.
#   usage: case_pictures_check.sh <make_case_pictures> <assets>
set -euo pipefail
tool=$1 assets=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$assets/lcd" "$work/lcd"
"$tool" "$work" 2>/dev/null
status=0
while IFS= read -r made; do
  if cmp -s "$work/$made" "$assets/$made"; then
    continue
  fi
  if [[ $made == *.png ]] && command -v compare >/dev/null; then
    # The largest difference of any channel, in 16-bit steps (257 a level).
    worst=$(compare -metric PAE "$work/$made" "$assets/$made" null: 2>&1 | awk '{print int($1)}' || true)
    same_size=$(identify -format '%wx%h' "$work/$made")
    [[ $same_size == $(identify -format '%wx%h' "$assets/$made") && $worst =~ ^[0-9]+$ ]] &&
      ((worst <= 257)) && continue
  fi
  if true; then
    echo "assets/$made differs from what make_case_pictures makes now (run it and commit)"
    status=1
  fi
done < <(cd "$work" && find . -type f ! -path './lcd/*' | sed 's|^\./||' | sort)
for size in 16 24 32 48 64 128 256; do
  icon=$assets/icons/hicolor/${size}x${size}/apps/cantiere.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r w h < <(od -An -tu4 --endian=big -j16 -N8 "$icon" 2>/dev/null || echo "0 0")
  if [[ "$w $h" != "$size $size" ]]; then
    echo "$icon: expected a ${size}x${size} PNG, found ${w}x${h}"
    status=1
  fi
done
exit $status
