#!/usr/bin/env bash
# Draws the picture of the "Verifica file" button with ImageMagick, in the manner of the
# createl phase buttons (48x48, drawn at four times its size and scaled down). The PNG is
# kept in the repository so that building needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert

# A sheet with lines of text, a magnifying glass over it and a green tick.
$convert -size 192x192 xc:none \
  -fill white -stroke '#5b6b7f' -strokewidth 6 \
  -draw "path 'M 22,12 L 108,12 L 138,42 L 138,170 L 22,170 Z'" \
  -fill '#d7dee8' -stroke '#5b6b7f' -strokewidth 5 -draw "path 'M 108,12 L 108,42 L 138,42 Z'" \
  -fill '#3b6fb6' -stroke none \
  -draw "rectangle 40,52 112,60" -draw "rectangle 40,72 120,80" -draw "rectangle 40,92 100,100" \
  -fill 'rgba(220,235,250,0.85)' -stroke '#2d3e52' -strokewidth 10 -draw "circle 104,112 104,150" \
  -stroke '#2d3e52' -strokewidth 18 -draw "line 132,140 170,178" \
  -fill none -stroke '#2f9e55' -strokewidth 12 -draw "polyline 86,112 100,126 124,98" \
  -resize 48x48 verify.png
