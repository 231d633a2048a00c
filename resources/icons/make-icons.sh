#!/usr/bin/env bash
# Draws the toolbar icons that stand in when the desktop's icon theme lacks
# one. Run once by hand (needs ImageMagick); the PNGs are kept in the tree.
set -euo pipefail
cd "$(dirname "$0")"
ink='#3a3a3a'; blue='#2f6db5'; paper='#ffffff'; yellow='#e8c14a'; red='#c0392b'; green='#3d8b3d'
icon() { # name, then draw arguments
  local name=$1; shift
  convert -size 16x16 xc:none -strokewidth 1 "$@" "PNG32:$name.png"
}
icon document-new -fill "$paper" -stroke "$ink" -draw "polygon 3.5,1.5 9.5,1.5 12.5,4.5 12.5,14.5 3.5,14.5" \
  -draw "polyline 9.5,1.5 9.5,4.5 12.5,4.5" -stroke "$yellow" -strokewidth 2 -draw "line 11,10 15,10" -draw "line 13,8 13,12"
icon document -fill "$paper" -stroke "$ink" -draw "polygon 3.5,1.5 9.5,1.5 12.5,4.5 12.5,14.5 3.5,14.5" \
  -draw "polyline 9.5,1.5 9.5,4.5 12.5,4.5" -stroke '#8a8a8a' -draw "line 5,7 10,7" -draw "line 5,9 10,9" -draw "line 5,11 9,11"
icon document-open -fill "$yellow" -stroke '#8a6d1c' -draw "polygon 1.5,3.5 6.5,3.5 7.5,5.5 13.5,5.5 13.5,13.5 1.5,13.5" \
  -fill '#f5d978' -draw "polygon 1.5,13.5 4.5,8.5 15.5,8.5 13.5,13.5"
icon document-save -fill "$blue" -stroke '#1d4a80' -draw "roundrectangle 1.5,1.5 14.5,14.5 1,1" \
  -fill "$paper" -stroke none -draw "rectangle 4,2 12,7" -fill '#d0d0d0' -draw "rectangle 5,10 11,14" -fill "$ink" -draw "rectangle 9,11 10,13"
icon edit-cut -fill none -stroke "$ink" -draw "circle 4.5,12 4.5,14.5" -draw "circle 11.5,12 11.5,14.5" \
  -stroke '#7a7a7a' -strokewidth 1.5 -draw "line 5.5,9.5 11,1.5" -draw "line 10.5,9.5 5,1.5"
icon edit-copy -fill "$paper" -stroke "$ink" -draw "rectangle 1.5,1.5 9.5,11.5" -draw "rectangle 6.5,4.5 14.5,14.5" \
  -stroke '#8a8a8a' -draw "line 8,7 13,7" -draw "line 8,9 13,9" -draw "line 8,11 12,11"
icon edit-paste -fill '#b5834a' -stroke '#6b4a24' -draw "roundrectangle 2.5,2.5 12.5,14.5 1,1" \
  -fill '#d0d0d0' -stroke "$ink" -draw "rectangle 5.5,1.5 9.5,3.5" -fill "$paper" -draw "rectangle 7.5,6.5 14.5,15.5"
icon edit-undo -fill none -stroke "$blue" -strokewidth 2 -draw "path 'M 13,13 C 13,6 9,5 4,6'" \
  -fill "$blue" -stroke none -draw "polygon 1,6 6,2 6,10"
icon edit-redo -fill none -stroke "$blue" -strokewidth 2 -draw "path 'M 3,13 C 3,6 7,5 12,6'" \
  -fill "$blue" -stroke none -draw "polygon 15,6 10,2 10,10"
icon document-print -fill "$paper" -stroke "$ink" -draw "rectangle 4.5,1.5 11.5,6.5" \
  -fill '#9a9a9a' -draw "roundrectangle 1.5,6.5 14.5,12.5 1,1" -fill "$paper" -draw "rectangle 4.5,10.5 11.5,14.5" \
  -fill "$green" -stroke none -draw "rectangle 12,8 13,9"
icon edit-find -fill '#cfe3f7' -stroke "$ink" -strokewidth 1.5 -draw "circle 6.5,6.5 6.5,11" \
  -strokewidth 2.5 -draw "line 10,10 14.5,14.5"
icon go-next -fill "$blue" -stroke '#1d4a80' -draw "polygon 1.5,5.5 8.5,5.5 8.5,1.5 14.5,8 8.5,14.5 8.5,10.5 1.5,10.5"
icon go-down -fill "$blue" -stroke '#1d4a80' -draw "polygon 5.5,1.5 10.5,1.5 10.5,8.5 14.5,8.5 8,14.5 1.5,8.5 5.5,8.5"
icon go-up -fill "$blue" -stroke '#1d4a80' -draw "polygon 5.5,14.5 10.5,14.5 10.5,7.5 14.5,7.5 8,1.5 1.5,7.5 5.5,7.5"
icon go-top -fill "$blue" -stroke '#1d4a80' -draw "polygon 5.5,14.5 10.5,14.5 10.5,9.5 14.5,9.5 8,3.5 1.5,9.5 5.5,9.5" \
  -fill "$ink" -stroke none -draw "rectangle 1,1 15,2"
icon bookmark-new -fill '#4a90d9' -stroke '#1d4a80' -draw "polygon 3.5,1.5 12.5,1.5 12.5,14.5 8,10.5 3.5,14.5"
icon edit-clear -fill '#f2f2f2' -stroke "$ink" -draw "polygon 1.5,10.5 8.5,3.5 14.5,9.5 9.5,14.5 5.5,14.5" \
  -fill "$red" -draw "polygon 1.5,10.5 5.5,6.5 11.5,12.5 9.5,14.5 5.5,14.5"
icon format-indent-more -stroke "$ink" -draw "line 1,2 15,2" -draw "line 7,6 15,6" -draw "line 7,10 15,10" -draw "line 1,14 15,14" \
  -fill "$blue" -stroke none -draw "polygon 1,5 5,8 1,11"
icon format-indent-less -stroke "$ink" -draw "line 1,2 15,2" -draw "line 7,6 15,6" -draw "line 7,10 15,10" -draw "line 1,14 15,14" \
  -fill "$blue" -stroke none -draw "polygon 5,5 1,8 5,11"
icon accessories-calculator -fill '#e6e6e6' -stroke "$ink" -draw "roundrectangle 2.5,0.5 13.5,15.5 1,1" \
  -fill '#bfe3a8' -draw "rectangle 4.5,2.5 11.5,5.5" -fill "$ink" -stroke none \
  -draw "rectangle 4,8 5,9" -draw "rectangle 7,8 8,9" -draw "rectangle 10,8 11,9" \
  -draw "rectangle 4,11 5,12" -draw "rectangle 7,11 8,12" -draw "rectangle 10,11 11,13"
icon format-justify-fill -fill "$ink" -stroke none -draw "rectangle 1,2 5,3" -draw "rectangle 8,2 15,3" \
  -fill '#9a9a9a' -draw "circle 6.5,2.5 7,2.5" -fill "$ink" -draw "rectangle 1,6 15,7" -draw "rectangle 1,10 9,11" \
  -fill "$blue" -draw "polygon 11,9 15,9 15,10 13,12 11,10" -fill "$ink" -draw "rectangle 1,14 15,15"
icon help-about -fill "$blue" -stroke '#1d4a80' -draw "circle 8,8 8,15" -fill "$paper" -stroke none \
  -draw "rectangle 7,7 9,12" -draw "rectangle 7,4 9,5"
# Program icon: a page with coloured code lines.
convert -size 48x48 xc:none -fill "$paper" -stroke "$ink" -strokewidth 2 \
  -draw "polygon 8,3 30,3 41,14 41,45 8,45" -draw "polyline 30,3 30,14 41,14" -strokewidth 3 \
  -stroke "$blue" -draw "line 13,20 24,20" -stroke "$green" -draw "line 13,26 35,26" \
  -stroke "$red" -draw "line 17,32 31,32" -stroke "$blue" -draw "line 17,38 27,38" PNG32:tavro.png
