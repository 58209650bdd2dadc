#!/bin/sh
# Draws the numbered callouts of the help page's picture of the window on the package's screenshot
# and shrinks it to fit the help window. Run it after changing the window or the screenshot and
# commit the result; the build only reads the PNG. Needs ImageMagick and the DejaVu fonts.
#   sh packaging/render-help-picture.sh packaging/screenshots/tintora-1.1.png ui/help/window.png
set -eu
in=$1 out=$2
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
set -- "$in" -font "$font" -pointsize 17
n=0
# Each callout at the top right corner of its part, in the order of the help's parts table.
for at in 62,30 132,30 192,30 256,30 18,100 385,101 578,100 390,197 578,197 305,277 562,276 305,342 418,342 562,342; do
    n=$((n + 1))
    x=${at%,*} y=${at#*,}
    half=$((n < 10 ? 5 : 10))
    set -- "$@" -fill '#C00000' -stroke white -strokewidth 2 -draw "circle $x,$y $((x + 14)),$y" \
        -fill white -stroke none -annotate "+$((x - half))+$((y + 6))" "$n"
done
convert "$@" -resize 480x -strip -colors 96 "PNG8:$out"
