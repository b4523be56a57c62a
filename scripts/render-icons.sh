#!/usr/bin/env bash
# Renders the program icon res/kavex.svg into the PNG sizes a desktop needs (res/icons/kavex-N.png).
# The PNGs are committed; run this after changing the SVG. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$top/res/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" "$top/res/kavex.svg" \
    --output "$top/res/icons/kavex-$size.png"
done
