#!/usr/bin/env bash
# Renders the committed PNG pictures from their SVG drawings: the program icon at every size the
# icon theme and the window use, and the picture buttons at twice their size. Run it after
# changing a drawing and commit the PNGs with it; the build itself only reads the PNGs.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$root/packaging/icons/tintora.svg" \
        -o "$root/packaging/icons/tintora-$size.png"
done
for name in exit colordialog help copy; do
    rsvg-convert -w 32 -h 32 "$root/ui/pictures/$name.svg" -o "$root/ui/pictures/$name@2x.png"
done
