#!/usr/bin/env bash
# Draws the program's own artwork with ImageMagick: the logos, the back arrow,
# the refresh icon, the decoder plug-in picture and the application icons.
# The output is committed under resources/; run this again only to change it.
# Usage: tools/artwork/draw-artwork.sh  (needs the fonts: scripts/fetch-fonts.sh)
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
fonts="$top/resources/fonts"
images="$top/resources/images"
icons="$top/resources/icons"
"$top/scripts/fetch-fonts.sh" "$fonts"
regular="$fonts/AlegreyaSans_400Regular.ttf"
medium="$fonts/AlegreyaSans_500Medium.ttf"
red="#B92036"
mkdir -p "$images" "$icons"

strip=(-strip -define png:exclude-chunks=date,time)

# Partner logo, 1824 x 410: red word mark with a sound-wave mark, on transparent.
convert -size 1824x410 xc:none \
    -fill "$red" -draw "circle 205,205 205,25" \
    -fill none -stroke white -strokewidth 22 -draw "arc 120,120 290,290 -60,60" -draw "arc 70,70 340,340 -50,50" \
    -stroke none -fill "$red" -font "$medium" -pointsize 300 -gravity west -annotate +430+0 "AURALIS" \
    "${strip[@]}" "PNG32:$images/partner-logo.png"

# Powered-by badge, 153 x 36: white on transparent.
convert -size 153x36 xc:none -fill white \
    -font "$regular" -pointsize 12 -gravity northwest -annotate +4+2 "Powered by" \
    -font "$medium" -pointsize 20 -gravity southwest -annotate +4+0 "VANTORA" \
    -draw "rectangle 120,8 148,30" -fill none -stroke black -strokewidth 3 -draw "line 126,24 134,12" -draw "line 134,12 142,24" \
    "${strip[@]}" "PNG32:$images/powered-by.png"

# Decoder plug-in logo, 216 x 85: white ring and word mark on transparent.
convert -size 216x85 xc:none -fill none -stroke white -strokewidth 5 \
    -draw "circle 42,42 42,10" -draw "ellipse 42,42 32,12 0,360" \
    -stroke none -fill white -font "$medium" -pointsize 34 -gravity west -annotate +84-8 "Spherion" \
    -font "$regular" -pointsize 15 -annotate +86+22 "VST DECODER" \
    "${strip[@]}" "PNG32:$images/decoder-logo.png"

# Back arrow, 26 x 26: a red disc with a white left-pointing arrow.
convert -size 104x104 xc:none -fill "$red" -draw "circle 52,52 52,2" \
    -fill none -stroke white -strokewidth 10 -draw "line 30,52 76,52" -draw "polyline 52,28 28,52 52,76" \
    -resize 26x26 "${strip[@]}" "PNG32:$images/back-arrow.png"

# Refresh icon, 50 x 50: a red ring with an arrow head.
convert -size 200x200 xc:none -fill none -stroke "$red" -strokewidth 18 -draw "arc 30,30 170,170 20,320" \
    -stroke none -fill "$red" -draw "polygon 150,40 186,96 118,92" \
    -resize 50x50 "${strip[@]}" "PNG32:$images/refresh-icon.png"

# Decoder plug-in picture, 554 x 563, 8-bit RGBA: a mock of the plug-in's panel.
convert -size 554x563 gradient:"#3a3f44"-"#15171a" -alpha set \
    -fill "#22262a" -stroke "$red" -strokewidth 3 -draw "roundrectangle 20,20 533,542 14,14" \
    -stroke none -fill white -font "$medium" -pointsize 40 -gravity north -annotate +0+40 "VST Spherion" \
    -font "$regular" -pointsize 20 -fill "#C1C1C1" -annotate +0+92 "Personalised HRTF decoder" \
    -fill none -stroke "#C1C1C1" -strokewidth 2 -draw "circle 277,300 277,170" -draw "ellipse 277,300 130,40 0,360" \
    -stroke "$red" -strokewidth 6 -draw "line 277,300 360,240" -stroke none -fill "$red" -draw "circle 277,300 277,288" \
    -fill "#2F2D2D" -stroke "$red" -strokewidth 2 -draw "roundrectangle 60,470 270,510 4,4" -draw "roundrectangle 284,470 494,510 4,4" \
    -stroke none -fill white -pointsize 20 -gravity northwest -annotate +105+478 "HRTF: Personal" -annotate +335+478 "Head tracking" \
    "${strip[@]}" "PNG32:$images/plugin-screenshot.png"

# Application icon at 16, 32, 48, 64, 128 and 256 px, and a Windows icon file.
convert -size 512x512 xc:none -fill "$red" -draw "roundrectangle 16,16 496,496 96,96" \
    -fill none -stroke white -strokewidth 34 -draw "arc 150,150 362,362 -60,60" -draw "arc 80,80 432,432 -50,50" \
    -stroke none -fill white -draw "circle 200,256 200,206" \
    "${strip[@]}" "PNG32:$icons/icon-512.png"
for size in 16 32 48 64 128 256; do
    convert "$icons/icon-512.png" -resize "${size}x${size}" "${strip[@]}" "PNG32:$icons/icon-$size.png"
done
rm "$icons/icon-512.png"
convert "$icons"/icon-{16,32,48,64,128,256}.png "$icons/app.ico"
identify "$images"/*.png "$icons"/*.png
