#!/usr/bin/env bash
# Renders the application icon tavro.svg at the fixed sizes the desktop's icon
# theme looks for, and the copy compiled into the program. Run by hand after
# changing the drawing (needs rsvg-convert, Debian package librsvg2-bin); the
# PNGs are kept in the tree so that building needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" tavro.svg -o "${size}x${size}/tavro.png"
done
cp 48x48/tavro.png ../tavro.png
