#!/usr/bin/env bash
# Draws the program's own artwork with ImageMagick: the logos, the back arrow,
# the refresh icon, the decoder plug-in picture and the application icons;
# then makes from them the pictures the program embeds and draws one to one
# (resources/images/drawn/, by tools/artwork/SizeArtwork.cpp, built in build/).
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

# The pictures that the pages draw about as large as they are come at two
# sizes: NAME.png at the size the pages were laid out for (k = 1), which they
# draw at 100 %, and NAME@2x.png at twice that size (k = 2), which they draw on
# displays scaled above 100 % so that the artwork stays sharp there.

# Powered-by badge, 153 x 36 (times k): white on transparent.
draw_powered_by()
{
    local k=$1 output=$2
    convert -size $((153 * k))x$((36 * k)) xc:none -fill white \
        -font "$regular" -pointsize $((12 * k)) -gravity northwest -annotate +$((4 * k))+$((2 * k)) "Powered by" \
        -font "$medium" -pointsize $((20 * k)) -gravity southwest -annotate +$((4 * k))+0 "VANTORA" \
        -draw "rectangle $((120 * k)),$((8 * k)) $((148 * k)),$((30 * k))" \
        -fill none -stroke black -strokewidth $((3 * k)) \
        -draw "line $((126 * k)),$((24 * k)) $((134 * k)),$((12 * k))" -draw "line $((134 * k)),$((12 * k)) $((142 * k)),$((24 * k))" \
        "${strip[@]}" "PNG32:$output"
}

# Decoder plug-in logo, 216 x 85 (times k): white ring and word mark on transparent.
draw_decoder_logo()
{
    local k=$1 output=$2
    convert -size $((216 * k))x$((85 * k)) xc:none -fill none -stroke white -strokewidth $((5 * k)) \
        -draw "circle $((42 * k)),$((42 * k)) $((42 * k)),$((10 * k))" -draw "ellipse $((42 * k)),$((42 * k)) $((32 * k)),$((12 * k)) 0,360" \
        -stroke none -fill white -font "$medium" -pointsize $((34 * k)) -gravity west -annotate +$((84 * k))-$((8 * k)) "Spherion" \
        -font "$regular" -pointsize $((15 * k)) -annotate +$((86 * k))+$((22 * k)) "VST DECODER" \
        "${strip[@]}" "PNG32:$output"
}

# Back arrow, 26 x 26 (times k): a red disc with a white left-pointing arrow.
draw_back_arrow()
{
    local k=$1 output=$2
    convert -size 104x104 xc:none -fill "$red" -draw "circle 52,52 52,2" \
        -fill none -stroke white -strokewidth 10 -draw "line 30,52 76,52" -draw "polyline 52,28 28,52 52,76" \
        -resize $((26 * k))x$((26 * k)) "${strip[@]}" "PNG32:$output"
}

# Refresh icon, 50 x 50 (times k): a red ring with an arrow head.
draw_refresh_icon()
{
    local k=$1 output=$2
    convert -size 200x200 xc:none -fill none -stroke "$red" -strokewidth 18 -draw "arc 30,30 170,170 20,320" \
        -stroke none -fill "$red" -draw "polygon 150,40 186,96 118,92" \
        -resize $((50 * k))x$((50 * k)) "${strip[@]}" "PNG32:$output"
}

for picture in powered-by decoder-logo back-arrow refresh-icon; do
    "draw_${picture//-/_}" 1 "$images/$picture.png"
    "draw_${picture//-/_}" 2 "$images/$picture@2x.png"
done

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

# The pictures as the pages draw them, at 1x and 2x.
build=${BUILD_DIR:-$top/build}
(cd "$top" && cmake --preset debug -B "$build" > /dev/null)
cmake --build "$build" --target auralis_size_artwork -j 2 > /dev/null
"$build/tools/artwork/auralis_size_artwork" "$images" "$images/drawn"
