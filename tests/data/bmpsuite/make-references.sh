#!/bin/sh
# Decodes every good BMP Suite file with ImageMagick into an RGB PNG (ref/<name>.png), the
# independent reading the BMP tests compare against. Run from anywhere.
set -e
cd "$(dirname "$0")"
mkdir -p ref
for f in good/*.bmp; do
  name=$(basename "$f" .bmp)
  convert-im6.q16 "$f" -alpha off -depth 8 "PNG24:ref/$name.png"
done
