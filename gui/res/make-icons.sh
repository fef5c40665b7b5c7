#!/bin/sh
# Draws the seven toolbar icons (16x16, transparent background) with
# ImageMagick. The .ico files are committed; run this only to change them.
set -eu
cd "$(dirname "$0")"
draw() { convert -size 16x16 xc:none "$@"; }

# Details: a sheet with lines of text and a magnifying glass.
draw -fill white -stroke '#404040' -draw 'rectangle 1,1 10,14' \
     -stroke '#000080' -draw 'line 3,4 8,4' -draw 'line 3,7 8,7' -draw 'line 3,10 6,10' \
     -fill '#c0e0ff' -stroke black -draw 'circle 10,9 13,9' \
     -stroke '#804000' -strokewidth 2 -draw 'line 12,12 15,15' z_details.ico
# Uninstall: a box with a red cross over it.
draw -fill '#e0c080' -stroke '#604020' -draw 'rectangle 1,5 11,14' \
     -stroke '#c00000' -strokewidth 2 -draw 'line 6,2 14,10' -draw 'line 14,2 6,10' z_uninstall.ico
# Open article: an open book with a blue question mark.
draw -fill white -stroke '#404040' -draw 'polygon 0,3 7,5 7,15 0,13' \
     -draw 'polygon 15,3 8,5 8,15 15,13' \
     -fill none -stroke '#0000c0' -strokewidth 1.5 -draw 'arc 9,1 14,6 180,90' \
     -draw 'line 11,6 11,8' -draw 'point 11,10' z_openarticle.ico
# Computer: a monitor on a stand.
draw -fill '#c0c0c0' -stroke '#303030' -draw 'rectangle 1,1 14,10' \
     -fill '#008080' -stroke none -draw 'rectangle 3,3 12,8' \
     -fill '#808080' -stroke '#303030' -draw 'rectangle 6,11 9,12' -draw 'rectangle 3,13 12,14' z_computer.ico
# Save: a floppy disk.
draw -fill '#202080' -stroke black -draw 'rectangle 1,1 14,14' \
     -fill white -stroke none -draw 'rectangle 4,2 11,7' \
     -fill '#c0c0c0' -draw 'rectangle 5,10 10,14' -fill '#202080' -draw 'rectangle 8,11 9,13' z_save.ico
# Refresh: a green circular arrow.
draw -fill none -stroke '#008000' -strokewidth 2 -draw 'arc 2,2 13,13 300,240' \
     -fill '#008000' -stroke none -draw 'polygon 9,0 15,4 9,7' z_refresh.ico
# Verify: a sheet with a green check mark.
draw -fill white -stroke '#404040' -draw 'rectangle 1,1 11,14' \
     -stroke '#000080' -draw 'line 3,4 9,4' -draw 'line 3,7 7,7' \
     -fill none -stroke '#008000' -strokewidth 2 -draw 'polyline 6,10 9,13 15,5' z_verify.ico
