#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws every picture of the kit from shapes, gradients and text, and writes
# them beside this script:
#
#   kelmor_background.png    318 x 255, 24-bit PNG   night sky, castle, hero, title "Kelmor"
#   kelplix_background.png   360 x 234, 24-bit PNG   blueprint level editor, title "Kelmor Plix"
#   kelmor_icon.bmp/.png     32 x 32, 16 colours     castle under a crescent moon
#   kelplix_icon.bmp/.png    32 x 32, 16 colours     four tiles and a pencil
#   configuration_icon.bmp/.png  32 x 32, 16 colours gear over a slider
#   mapper_icon.bmp/.png     64 x 64, 24-bit         folded map, compass rose, pencil
#   drives_icon.bmp/.png     32 x 32, 16 colours     a CD beside a drive letter
#   icons/<n>x<n>/<icon>.png the five icons at 48, 64, 128 and 256 pixels for
#                            the Linux menus: the pixel drawing kept sharp,
#                            each pixel a block (48: 3 x 3 blocks, halved)
#
# Nothing is downloaded. The result is the same on every run: star positions
# come from a fixed-seed generator, and only the installed URW fonts are used.
# Needs ImageMagick 6 (`convert`, `identify`) and fonts-urw-base35.
#
# The windows cut pictures off: the game window shows 318 x 254 of its 318 x 255
# picture, the kit window 359 x 233 of its 360 x 234, so the bottom row (and the
# right column of the kit picture) holds nothing that matters.
set -euo pipefail
export LC_ALL=C MAGICK_THREAD_LIMIT=1
cd "$(dirname "$0")"

FONTS=/usr/share/fonts/opentype/urw-base35
BOOKMAN=$FONTS/URWBookman-Demi.otf
GOTHIC=$FONTS/URWGothic-Demi.otf
MONO=$FONTS/NimbusMonoPS-Bold.otf
for font in "$BOOKMAN" "$GOTHIC" "$MONO"; do
  [[ -r $font ]] || { echo "missing font $font (package fonts-urw-base35)" >&2; exit 1; }
done

# 24-bit uncompressed BMP with a 40-byte BITMAPINFOHEADER, bottom-up. Without
# -type TrueColor ImageMagick picks a palette format for pictures with few
# colours; -alpha off keeps it from writing 32-bit.
write_bmp24() { convert "$1" -alpha off -type TrueColor -compress None "BMP3:$2"; }
# PNG without time stamps, so reruns give identical files.
write_png() { convert "$1" -strip -define png:exclude-chunk=date,time "PNG:$2"; }
# 8-bit RGB PNG (colour type 2), the kind the programs decode: without PNG24
# ImageMagick picks a palette or grey for few colours. Quality 95 is zlib's
# level 9 with adaptive row filters, the smallest here; no ancillary chunk,
# so reruns give identical files. Lossless: the pixels are those given.
write_png24() { convert "$1" -strip -define png:exclude-chunk=all -quality 95 "PNG24:$2"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Fixed-seed linear congruential generator; sets R to a number in [0, $1).
seed=20240611
rnd() { seed=$(( (seed * 1103515245 + 12345) & 0x7fffffff )); R=$(( (seed >> 8) % $1 )); }

draw_kelmor_background() {
  local W=318 H=255 stars="" bright="" castle hero trees="" x y b h p t
  for ((i = 0; i < 90; i++)); do
    rnd $W; x=$R; rnd 150; y=$R; rnd 115; b=$((140 + R))
    stars+="fill rgb($b,$b,$((b < 235 ? b + 20 : 255))) point $x,$y "
  done
  for p in 236,18 96,88 150,100 212,62 282,112 18,92 124,76 306,84; do
    x=${p%,*}; y=${p#*,}
    bright+="fill #fff8dc point $x,$y point $((x - 1)),$y point $((x + 1)),$y point $x,$((y - 1)) point $x,$((y + 1)) "
  done
  for t in 136,184,9 148,186,12 163,187,8 196,182,10 210,181,7; do
    IFS=, read -r x y h <<<"$t"
    trees+="polygon $((x - h / 2 - 2)),$y $x,$((y - h * 2)) $((x + h / 2 + 2)),$y "
    trees+="polygon $((x - h / 2)),$((y - h)) $x,$((y - h * 3)) $((x + h / 2)),$((y - h)) "
  done
  castle="fill #100f26
    rectangle 60,120 92,176
    rectangle 60,113 65,120 rectangle 69,113 74,120 rectangle 78,113 83,120 rectangle 87,113 92,120
    rectangle 44,134 58,176 polygon 41,134 51,108 61,134
    rectangle 94,128 108,176 polygon 91,128 101,100 111,128
    stroke #100f26 line 101,100 101,90 stroke none fill #c8323c polygon 102,90 112,93 102,96
    fill #ffcf5a rectangle 74,128 77,134 rectangle 66,144 68,149 rectangle 84,144 86,149
    rectangle 50,146 52,151 rectangle 100,138 102,143
    fill #7a5228 path 'M 71,176 L 71,165 Q 76,158 81,165 L 81,176 Z'"
  hero="fill #07060f
    path 'M 150,255 Q 196,200 256,204 Q 296,206 318,214 L 318,255 Z'
    polygon 243,205 246,186 249,186 248,205 polygon 251,205 251,186 254,186 258,205
    polygon 242,187 259,187 256,167 245,167
    circle 250,161 250,166
    polygon 256,167 274,190 268,193 264,187 259,190 256,178
    stroke #07060f stroke-width 3 line 247,169 239,157
    stroke #dfe6ff stroke-width 2 line 238,154 227,127
    stroke #b08a3a stroke-width 2 line 234,158 243,153"
  convert -size ${W}x${H} gradient:'#070a22'-'#43306a' \
    \( -size ${W}x${H} xc:none -fill '#fff6c8' -draw "circle 276,44 276,80" -blur 0x18 \
       -channel A -evaluate multiply 0.35 +channel \) -composite \
    -draw "$stars" -draw "$bright" \
    -fill '#f6efcf' -draw "circle 276,44 276,64" \
    -fill '#e2d8b0' -draw "circle 269,38 269,43 circle 284,52 284,55 circle 280,35 280,37 circle 270,53 270,55" \
    -fill '#2b2550' -draw "path 'M 0,170 L 30,140 L 52,152 L 88,118 L 120,146 L 150,128 L 190,160 L 226,124 L 262,150 L 292,132 L 318,146 L 318,255 L 0,255 Z'" \
    -draw "$castle" \
    -fill '#1a1836' -draw "path 'M 0,196 Q 60,158 120,174 Q 170,186 220,178 Q 280,168 318,188 L 318,255 L 0,255 Z'" \
    -fill '#2c2850' -draw "path 'M 40,255 Q 92,222 70,202 Q 58,188 74,176 L 79,176 Q 72,189 84,203 Q 110,226 74,255 Z'" \
    -fill '#121128' -draw "$trees" \
    \( -size ${W}x${H} xc:none -fill '#ffcf5a' \
       -draw "circle 76,131 76,137 circle 67,146 67,151 circle 85,146 85,151 circle 51,148 51,153 circle 101,140 101,145" \
       -blur 0x4 \) -composite \
    -draw "$hero" \
    \( -size ${W}x90 xc:none -font "$BOOKMAN" -pointsize 54 -fill black -annotate +18+66 Kelmor -blur 0x3 \) -composite \
    \( -size ${W}x90 gradient:'#fff7c0'-'#c8700c' \
       \( -size ${W}x90 xc:none -font "$BOOKMAN" -pointsize 54 -fill white -annotate +14+62 Kelmor \) \
       -compose CopyOpacity -composite \) -compose Over -composite \
    -font "$BOOKMAN" -pointsize 54 -fill none -stroke '#3a1f04' -strokewidth 1 -annotate +14+62 Kelmor \
    "$work/kelmor_background.miff"
  # Through a 24-bit bitmap: ImageMagick's bitmap writer takes the drawing's
  # 16-bit samples to 8 bits otherwise than its PNG writer does, and the
  # bitmap's are the colours the game launcher has always shown.
  write_bmp24 "$work/kelmor_background.miff" "$work/kelmor_background.bmp"
  write_png24 "$work/kelmor_background.bmp" kelmor_background.png
}

# Level-editor tiles, 16 x 16, appended to $tiles at (x, y).
brick() { local x=$1 y=$2
  tiles+="stroke none fill #c0583c rectangle $x,$y $((x+15)),$((y+15)) fill #e7a17f rectangle $x,$y $((x+15)),$y "
  tiles+="fill #7e3321 rectangle $x,$((y+7)) $((x+15)),$((y+7)) rectangle $x,$((y+15)) $((x+15)),$((y+15)) "
  tiles+="rectangle $((x+7)),$y $((x+7)),$((y+7)) rectangle $((x+3)),$((y+8)) $((x+3)),$((y+15)) "
  tiles+="rectangle $((x+11)),$((y+8)) $((x+11)),$((y+15)) "; }
grass() { local x=$1 y=$2
  tiles+="stroke none fill #8a5a2b rectangle $x,$y $((x+15)),$((y+15)) "
  tiles+="fill #6b431e rectangle $((x+3)),$((y+9)) $((x+5)),$((y+10)) rectangle $((x+10)),$((y+12)) $((x+12)),$((y+13)) "
  tiles+="fill #5cbf4a rectangle $x,$y $((x+15)),$((y+4)) rectangle $((x+2)),$((y+5)) $((x+4)),$((y+6)) "
  tiles+="rectangle $((x+9)),$((y+5)) $((x+11)),$((y+6)) fill #9be07d rectangle $x,$y $((x+15)),$y "; }
stone() { local x=$1 y=$2
  tiles+="stroke none fill #8c96a8 rectangle $x,$y $((x+15)),$((y+15)) "
  tiles+="fill #c9d1de rectangle $x,$y $((x+15)),$((y+1)) rectangle $x,$y $((x+1)),$((y+15)) "
  tiles+="fill #58606e rectangle $x,$((y+14)) $((x+15)),$((y+15)) rectangle $((x+14)),$y $((x+15)),$((y+15)) "; }
ladder() { local x=$1 y=$2
  tiles+="stroke none fill #d9a441 rectangle $((x+2)),$y $((x+3)),$((y+15)) rectangle $((x+12)),$y $((x+13)),$((y+15)) "
  tiles+="rectangle $((x+4)),$((y+3)) $((x+11)),$((y+4)) rectangle $((x+4)),$((y+11)) $((x+11)),$((y+12)) "; }
coin() { local x=$1 y=$2
  tiles+="stroke #b8860b stroke-width 1 fill #ffd54a circle $((x+8)),$((y+8)) $((x+8)),$((y+3)) "
  tiles+="stroke none fill #fff3b0 rectangle $((x+7)),$((y+5)) $((x+8)),$((y+10)) "; }
spikes() { local x=$1 y=$2
  tiles+="stroke none fill #dfe6ea polygon $x,$((y+15)) $((x+4)),$((y+6)) $((x+8)),$((y+15)) "
  tiles+="polygon $((x+8)),$((y+15)) $((x+12)),$((y+6)) $((x+16)),$((y+15)) "; }
water() { local x=$1 y=$2
  tiles+="stroke none fill #3fa9f5 rectangle $x,$((y+3)) $((x+15)),$((y+15)) fill #bfe6ff rectangle $x,$((y+3)) $((x+15)),$((y+3)) "
  tiles+="rectangle $((x+3)),$((y+8)) $((x+6)),$((y+8)) rectangle $((x+10)),$((y+11)) $((x+13)),$((y+11)) "; }
door() { local x=$1 y=$2
  tiles+="stroke none fill #6d4c41 path 'M $((x+2)),$((y+15)) L $((x+2)),$((y+5)) Q $((x+8)),$((y-1)) $((x+14)),$((y+5)) L $((x+14)),$((y+15)) Z' "
  tiles+="fill #ffd54a rectangle $((x+11)),$((y+9)) $((x+12)),$((y+10)) "; }
hero() { local x=$1 y=$2
  tiles+="stroke none fill #f2c6a0 rectangle $((x+5)),$((y+1)) $((x+10)),$((y+5)) fill #4a2f1d rectangle $((x+5)),$y $((x+10)),$((y+1)) "
  tiles+="fill #d8403a rectangle $((x+4)),$((y+6)) $((x+11)),$((y+11)) "
  tiles+="fill #2f5fbf rectangle $((x+5)),$((y+12)) $((x+7)),$((y+15)) rectangle $((x+8)),$((y+12)) $((x+10)),$((y+15)) "
  tiles+="fill #e8eef5 rectangle $((x+12)),$((y+2)) $((x+12)),$((y+9)) fill #b08a3a rectangle $((x+11)),$((y+8)) $((x+13)),$((y+8)) "; }

draw_kelplix_background() {
  local W=360 H=234 grid="" major="" ui pencil x y i t
  tiles=""
  for ((x = 0; x < W; x += 8)); do grid+="line $x.5,0 $x.5,$H "; done
  for ((y = 0; y < H; y += 8)); do grid+="line 0,$y.5 $W,$y.5 "; done
  for ((x = 0; x < W; x += 32)); do major+="line $x.5,0 $x.5,$H "; done
  for ((y = 0; y < H; y += 32)); do major+="line 0,$y.5 $W,$y.5 "; done
  # The map being edited: ground with a pond, platforms, a ladder, pickups.
  for ((x = 16; x < 288; x += 16)); do
    if ((x >= 176 && x < 208)); then water $x 208; else grass $x 208; fi
  done
  for x in 48 64 80; do brick $x 160; done
  for x in 224 240 256; do stone $x 144; done
  for y in 144 160 176 192; do ladder 96 $y; done
  coin 48 136; coin 64 136; coin 80 136; coin 136 176; coin 256 112
  spikes 128 192; spikes 144 192
  door 256 192
  hero 32 192
  # The tile palette on the right, two columns.
  i=0
  for t in brick grass stone ladder water spikes coin door; do
    $t $((312 + (i % 2) * 20)) $((84 + (i / 2) * 22))
    i=$((i + 1))
  done
  ui="stroke #e8f4ff stroke-width 1 fill none rectangle 306,70 352,180 line 306,80 352,80
    stroke-dasharray 3 2 rectangle 222,142 273,161 stroke-dasharray none
    fill #e8f4ff rectangle 220,140 224,144 rectangle 271,140 275,144 rectangle 220,159 224,163 rectangle 271,159 275,163
    stroke #ffe066 stroke-width 2 fill none rectangle 310,82 329,101
    stroke #e8f4ff stroke-width 1 fill none rectangle 14,70 290,226
    line 224,134 272,134 line 224,130 224,138 line 272,130 272,138
    fill #e8f4ff stroke none polygon 225,134 229,132 229,136 polygon 271,134 267,132 267,136"
  pencil="fill rgba(192,88,60,0.45) stroke #e8f4ff stroke-dasharray 2 2 rectangle 128,128 143,143
    stroke-dasharray none stroke none
    fill #f2b632 polygon 141,126 157,110 163,116 147,132 fill #f4d3a4 polygon 141,126 147,132 137,136
    fill #333333 polygon 139,132 141,134 137,136 fill #e06a8a polygon 157,110 160,107 166,113 163,116"
  convert -size ${W}x${H} gradient:'#2063ae'-'#0e3261' \
    -fill none -stroke 'rgba(220,240,255,0.12)' -draw "$grid" \
    -stroke 'rgba(220,240,255,0.30)' -draw "$major" -stroke none \
    -fill 'rgba(8,30,60,0.45)' -draw "rectangle 15,71 289,225 rectangle 307,81 351,179" \
    -draw "$tiles" -draw "$ui" -draw "$pencil" \
    -font "$MONO" -pointsize 9 -fill '#e8f4ff' -annotate +316+78 TILES -annotate +242+129 48 \
    -annotate +18+80 'MAP 01' \
    \( -size ${W}x70 xc:none -font "$GOTHIC" -pointsize 44 -fill '#061a36' -annotate +16+48 'Kelmor Plix' -blur 0x3 \) -composite \
    -font "$GOTHIC" -pointsize 44 -fill white -stroke '#7fd0ff' -strokewidth 1 -annotate +14+45 'Kelmor Plix' -stroke none \
    -font "$MONO" -pointsize 11 -fill '#bfe6ff' -kerning 3 -annotate +18+63 'LEVEL EDITOR KIT' \
    "$work/kelplix_background.miff"
  # Through a GIF, one frame with a global palette: its 256 colours and
  # their 8-bit samples are those the kit launcher has always shown.
  convert "$work/kelplix_background.miff" -alpha off +dither -colors 256 \
    -interlace none +repage "GIF:$work/kelplix_background.gif"
  write_png24 "$work/kelplix_background.gif" kelplix_background.png
}

# The 32 x 32 icons are drawn without anti-aliasing in a handful of colours.
draw_kelmor_icon() {
  convert -size 32x32 xc:'#1c2668' +antialias \
    -fill '#f6e9a6' -draw "circle 16,6 16,10" -fill '#1c2668' -draw "circle 18,5 18,9" \
    -fill '#ffffff' -draw "point 4,4 point 9,2 point 26,3 point 29,8 point 22,10 point 5,9" \
    -fill '#9aa3b5' -draw "rectangle 11,16 20,28 rectangle 5,14 9,28 rectangle 22,14 26,28
                           rectangle 11,14 12,15 rectangle 15,14 16,15 rectangle 19,14 20,15" \
    -fill '#c8323c' -draw "polygon 4,14 7,7 10,14 polygon 21,14 24,7 27,14" \
    -fill '#5f687c' -draw "rectangle 10,16 10,28 rectangle 21,16 21,28" \
    -fill '#ffd54a' -draw "rectangle 15,18 16,20 rectangle 7,17 7,19 rectangle 24,17 24,19" \
    -fill '#4a2f1d' -draw "rectangle 14,24 17,28" \
    -fill '#2f7a3c' -draw "rectangle 0,28 31,31" -fill '#46a052' -draw "rectangle 0,28 31,28" \
    -fill none -stroke '#0a0c24' -draw "rectangle 0,0 31,31" \
    "$work/kelmor_icon.miff"
}

draw_kelplix_icon() {
  convert -size 32x32 xc:'#1e5aa0' +antialias \
    -fill '#3f7fc4' -draw "line 0,8 31,8 line 0,24 31,24 line 8,0 8,31 line 24,0 24,31" \
    -fill '#c0583c' -draw "rectangle 4,4 15,15" \
    -fill '#7e3321' -draw "line 4,9 15,9 line 4,15 15,15 line 9,4 9,9 line 6,10 6,15 line 12,10 12,15" \
    -fill '#8a5a2b' -draw "rectangle 16,4 27,15" \
    -fill '#5cbf4a' -draw "rectangle 16,4 27,7 rectangle 18,8 19,8 rectangle 23,8 24,8" \
    -fill '#8a5a2b' -draw "rectangle 4,16 15,27" -fill '#5cbf4a' -draw "rectangle 4,16 15,19" \
    -fill '#c0583c' -draw "rectangle 16,16 27,27" -fill '#7e3321' -draw "line 16,21 27,21 line 16,27 27,27 line 21,16 21,21" \
    -fill none -stroke '#ffffff' -draw "rectangle 4,4 27,27" -stroke none \
    -fill '#f2b632' -draw "polygon 11,22 25,8 29,12 15,26" \
    -fill '#f4d3a4' -draw "polygon 11,22 15,26 8,29" -fill '#222222' -draw "polygon 8,27 10,29 7,29" \
    -fill '#e06a8a' -draw "polygon 25,8 27,6 31,10 29,12" \
    -fill '#c98a1a' -draw "line 13,24 27,10" \
    "$work/kelplix_icon.miff"
}

draw_configuration_icon() {
  local teeth
  teeth=$(awk 'BEGIN { pi = atan2(0, -1); cx = 16; cy = 12;
    split("-0.32 8.5 -0.22 11.5 0.22 11.5 0.32 8.5", p, " ");
    for (i = 0; i < 8; i++) { a = i * pi / 4; s = "polygon";
      for (j = 1; j <= 8; j += 2)
        s = s sprintf(" %.1f,%.1f", cx + p[j + 1] * cos(a + p[j]), cy + p[j + 1] * sin(a + p[j]));
      printf "%s ", s } }')
  convert -size 32x32 xc:'#39424f' +antialias \
    -fill '#4b5666' -draw "rectangle 0,0 31,3" \
    -fill '#c3ccd8' -draw "$teeth" -draw "circle 16,12 16,3" \
    -fill '#8d99a8' -draw "circle 16,12 16,6" -fill '#c3ccd8' -draw "circle 16,12 16,7" \
    -fill '#39424f' -draw "circle 16,12 16,9" \
    -fill '#1c2129' -draw "rectangle 4,27 27,28" -fill '#5cbf4a' -draw "rectangle 4,27 18,28" \
    -fill '#f2b632' -draw "rectangle 17,25 20,30" -fill '#a8741a' -draw "rectangle 17,30 20,30 rectangle 20,25 20,30" \
    -fill none -stroke '#1c2129' -draw "rectangle 0,0 31,31" \
    "$work/configuration_icon.miff"
}

draw_drives_icon() {
  convert -size 32x32 xc:'#39424f' +antialias \
    -fill '#c3ccd8' -draw "circle 13,16 13,3" -fill '#8d99a8' -draw "circle 13,16 13,8" \
    -fill '#e8edf3' -draw "circle 13,16 13,11" -fill '#39424f' -draw "circle 13,16 13,14" \
    -fill '#f2b632' -draw "rectangle 22,20 30,30" -fill '#1c2129' -draw "rectangle 25,22 26,28" \
    -draw "rectangle 25,22 28,23 rectangle 25,27 28,28 rectangle 28,23 29,27" \
    -fill none -stroke '#1c2129' -draw "rectangle 0,0 31,31" \
    "$work/drives_icon.miff"
}

draw_mapper_icon() {
  local compass
  compass=$(awk 'BEGIN { pi = atan2(0, -1); cx = 50; cy = 14;
    for (i = 0; i < 4; i++) { a = i * pi / 2 - pi / 2;
      for (k = -1; k <= 1; k += 2) {
        printf "fill %s polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f ",
          (i == 0 ? (k < 0 ? "#8e1f28" : "#c8323c") : (k < 0 ? "#7a6a50" : "#3a3226")),
          cx + 10 * cos(a), cy + 10 * sin(a), cx + 3 * cos(a + k * pi / 4), cy + 3 * sin(a + k * pi / 4), cx, cy } } }')
  convert -size 64x64 gradient:'#2f6f8f'-'#163a52' \
    -fill 'rgba(0,0,0,0.35)' -draw "polygon 7,13 25,9 41,13 59,9 59,57 41,61 25,57 7,61" \
    -fill '#efe0b4' -draw "polygon 5,11 23,7 23,55 5,59" \
    -fill '#e0cc98' -draw "polygon 23,7 39,11 39,59 23,55" \
    -fill '#efe0b4' -draw "polygon 39,11 57,7 57,55 39,59" \
    -fill '#7fb8d8' -draw "path 'M 5,40 Q 14,36 20,42 Q 28,48 39,44 Q 48,40 57,44 L 57,55 L 39,59 L 23,55 L 5,59 Z'" \
    -fill '#8cbf6a' -draw "path 'M 8,22 Q 14,14 24,18 Q 32,22 30,30 Q 26,38 16,36 Q 8,34 8,22 Z'" \
    -fill '#6a9a4e' -draw "polygon 14,26 17,21 20,26 polygon 19,29 22,24 25,29" \
    -fill none -stroke '#b0302c' -strokewidth 1.5 -draw "stroke-dasharray 3 2 path 'M 13,31 Q 22,34 29,30 Q 36,26 37,35'" \
    -strokewidth 2 -draw "line 35,38 40,43 line 40,38 35,43" -stroke none \
    -fill '#f6efd8' -draw "circle 50,14 50,25" \
    -fill none -stroke '#3a3226' -strokewidth 1 -draw "circle 50,14 50,25" -stroke none \
    -draw "$compass" \
    -fill '#f2b632' -draw "polygon 30,54 52,32 58,38 36,60" \
    -fill '#c98a1a' -draw "polygon 33,57 55,35 58,38 36,60" \
    -fill '#f4d3a4' -draw "polygon 30,54 36,60 26,63" -fill '#2a2a2a' -draw "polygon 27,60 29,62 26,63" \
    -fill '#b8b8b8' -draw "polygon 52,32 54,30 60,36 58,38" \
    -fill '#e06a8a' -draw "polygon 54,30 57,27 63,33 60,36" \
    -fill none -stroke '#0c2230' -strokewidth 1 -draw "rectangle 0,0 63,63" \
    "$work/mapper_icon.miff"
}

# Fails loudly when a picture does not have the size, format or colour count
# the programs rely on.
check() { # file, expected "width height", expected format, most colours (0: any)
  local got colours
  got=$(identify -format '%w %h %m' "$1")
  [[ $got == "$2 $3" ]] || { echo "$1: got $got, want $2 $3" >&2; exit 1; }
  colours=$(identify -format '%k' "$1")
  if (($4 > 0 && colours > $4)); then echo "$1: $colours colours, at most $4 allowed" >&2; exit 1; fi
  if [[ $3 == BMP3 ]]; then
    # bytes 14..17: header size 40; 28..29: 24 bits per pixel; 30..33: no compression
    [[ $(od -An -tu4 -j14 -N4 "$1" | tr -d ' ') == 40 &&
       $(od -An -tu2 -j28 -N2 "$1" | tr -d ' ') == 24 &&
       $(od -An -tu4 -j30 -N4 "$1" | tr -d ' ') == 0 ]] ||
      { echo "$1: not an uncompressed 24-bit BITMAPINFOHEADER bitmap" >&2; exit 1; }
  fi
}

draw_kelmor_background
draw_kelplix_background
draw_kelmor_icon
draw_kelplix_icon
draw_configuration_icon
draw_mapper_icon
draw_drives_icon
for name in kelmor_icon kelplix_icon configuration_icon mapper_icon drives_icon; do
  write_bmp24 "$work/$name.miff" "$name.bmp"
  write_png "$name.bmp" "$name.png"
done

# The menu sizes, in a desktop icon theme's layout. A 32 x 32 drawing grows by
# whole blocks (48 from 96, box-filtered); the 64 x 64 map by 2 and 4, and
# box-filtered to 48.
for size in 48 64 128 256; do
  mkdir -p "icons/${size}x$size"
  for name in kelmor_icon kelplix_icon configuration_icon mapper_icon drives_icon; do
    native=$(identify -format '%w' "$name.bmp")
    if ((size % native == 0)); then
      convert "$name.bmp" -filter point -resize "${size}x$size" "$work/$name-$size.miff"
    else
      convert "$name.bmp" -filter point -resize "$((size * 2))x$((size * 2))" \
        -filter box -resize "${size}x$size" "$work/$name-$size.miff"
    fi
    write_png "$work/$name-$size.miff" "icons/${size}x$size/$name.png"
    check "icons/${size}x$size/$name.png" "$size $size" PNG 0
  done
done

check kelmor_background.png "318 255" PNG 0
check kelplix_background.png "360 234" PNG 256
# The programs decode only 8-bit RGB PNG. Bytes 24..28: 8 bits a sample, RGB,
# deflate, standard filters, not interlaced.
for name in kelmor_background kelplix_background; do
  [[ $(od -An -tu1 -j24 -N5 "$name.png" | xargs) == "8 2 0 0 0" ]] ||
    { echo "$name.png: not an 8-bit RGB PNG without interlacing" >&2; exit 1; }
done
check kelmor_icon.bmp "32 32" BMP3 16
check kelplix_icon.bmp "32 32" BMP3 16
check configuration_icon.bmp "32 32" BMP3 16
check mapper_icon.bmp "64 64" BMP3 0
check drives_icon.bmp "32 32" BMP3 16
for name in kelmor_icon kelplix_icon configuration_icon mapper_icon drives_icon; do
  [[ $(identify -format '%#' "$name.bmp") == $(identify -format '%#' "$name.png") ]] ||
    { echo "$name.png differs from $name.bmp" >&2; exit 1; }
done
echo "pictures written to $(pwd)"
