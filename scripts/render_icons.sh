#!/bin/sh
# Renders the program's icon from its SVG source into the PNG sizes the window,
# the About box and the desktop entry use. Run after editing ui/icons/vantrel.svg
# and commit the PNGs with it (Debian's librsvg2-bin provides rsvg-convert).
set -eu
cd "$(dirname "$0")/../ui/icons"
for size in 48 32 16; do
  rsvg-convert -w "$size" -h "$size" vantrel.svg -o "vantrel-$size.png"
done
