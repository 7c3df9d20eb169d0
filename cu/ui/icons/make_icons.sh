#!/usr/bin/env bash
# Draws the pictures of the createl window with ImageMagick: the four phase buttons (48x48)
# and the CU picture of the title (64x64). Each is drawn at four times its size and scaled
# down, which gives smooth edges. Run it again after changing a drawing; the PNGs are kept
# in the repository so that building needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert=/usr/bin/convert
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# A sheet of paper with a folded corner, at x0,y0 size w x h (4x coordinates).
sheet() {
  local x0=$1 y0=$2 w=$3 h=$4 fold=$5
  local x1=$((x0 + w)) y1=$((y0 + h))
  echo "fill white stroke #5b6b7f stroke-width 6 path 'M $x0,$y0 L $((x1 - fold)),$y0 L $x1,$((y0 + fold)) L $x1,$y1 L $x0,$y1 Z'" \
       "fill #d7dee8 stroke #5b6b7f stroke-width 5 path 'M $((x1 - fold)),$y0 L $((x1 - fold)),$((y0 + fold)) L $x1,$((y0 + fold)) Z'"
}

# FASE 1, report: a sheet with lines of text and a small bar chart of totals.
eval "$convert -size 192x192 xc:none -draw \"$(sheet 34 14 118 164 34)\" \
  -fill '#3b6fb6' -stroke none \
  -draw 'rectangle 54,50 118,58' -draw 'rectangle 54,70 132,78' -draw 'rectangle 54,90 126,98' \
  -fill '#2f9e55' -draw 'rectangle 56,140 72,160' -draw 'rectangle 80,124 96,160' -draw 'rectangle 104,112 120,160' \
  -fill '#e0962b' -draw 'rectangle 128,132 140,160' \
  -resize 48x48 report.png"

# FASE 2, open: a yellow folder with a sheet coming out of it.
$convert -size 192x192 xc:none \
  -fill '#d9a21b' -stroke '#8a6410' -strokewidth 6 \
  -draw "path 'M 16,44 L 70,44 L 84,60 L 170,60 L 170,164 L 16,164 Z'" \
  -fill white -stroke '#5b6b7f' -strokewidth 5 -draw "rectangle 40,30 150,130" \
  -fill '#3b6fb6' -stroke none -draw "rectangle 58,50 130,57" -draw "rectangle 58,68 120,75" \
  -fill '#f4c542' -stroke '#8a6410' -strokewidth 6 \
  -draw "path 'M 8,92 L 160,92 L 182,176 L 30,176 Z'" \
  -resize 48x48 open.png

# FASE 3, run: the telematic file, a sheet with a green arrow that sends it.
eval "$convert -size 192x192 xc:none -draw \"$(sheet 20 12 110 150 30)\" \
  -fill '#3b6fb6' -stroke none \
  -draw 'rectangle 38,46 100,54' -draw 'rectangle 38,66 110,74' -draw 'rectangle 38,86 92,94' \
  -fill '#2f9e55' -stroke '#1c6b37' -strokewidth 6 -draw 'circle 128,128 128,180' \
  -fill white -stroke none -draw \"polygon 104,116 132,116 132,98 162,128 132,158 132,140 104,140\" \
  -resize 48x48 run.png"

# FASE 4, end: the red switch-off sign.
$convert -size 192x192 xc:none \
  -fill '#c8372d' -stroke '#8e1f18' -strokewidth 6 -draw "circle 96,96 96,176" \
  -fill none -stroke white -strokewidth 16 -draw "arc 52,56 140,144 -50,230" \
  -draw "line 96,38 96,96" \
  -resize 48x48 end.png

# The picture of the title, also the program's icon on the desktop: a CU form with the
# Italian colours, drawn at 256x256 and kept at the sizes a desktop asks for.
$convert -size 256x256 xc:none \
  -fill white -stroke '#33465c' -strokewidth 8 -draw "roundrectangle 28,8 228,248 18,18" \
  -fill '#1d4f91' -stroke none -draw "roundrectangle 32,12 224,110 14,14" -draw "rectangle 32,60 224,110" \
  -font "$font" -pointsize 84 -fill white -gravity north -annotate +0+16 'CU' \
  -fill '#8fa3bb' -gravity northwest \
  -draw "rectangle 56,132 200,142" -draw "rectangle 56,158 184,168" -draw "rectangle 56,184 192,194" \
  -fill '#009246' -draw "rectangle 56,212 104,232" \
  -fill '#f1f2f1' -stroke '#c9ccd1' -strokewidth 2 -draw "rectangle 104,212 152,232" \
  -fill '#ce2b37' -stroke none -draw "rectangle 152,212 200,232" \
  ../../../packaging/icons/telematico-256.png
for size in 128 64 48; do
  $convert ../../../packaging/icons/telematico-256.png -resize ${size}x${size} ../../../packaging/icons/telematico-$size.png
done
cp ../../../packaging/icons/telematico-64.png cu.png
