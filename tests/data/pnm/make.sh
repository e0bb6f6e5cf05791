#!/bin/sh
# Makes the PNM fixtures with netpbm: a 13x7 colour picture as plain and raw pixel maps (P3, P6)
# and grey maps (P2, P5) with maximum values 1, 15, 100, 255, 1023 and 65535, and as plain and raw
# bitmaps (P1, P4). Beside each, ref/<name>.rgb holds netpbm's own reading of it scaled to 8 bits
# (pamdepth 255, which rounds), as RGB bytes. ImageMagick reads the maximum values 255 and below
# alike and lands one level lower on some samples of the others. Run from anywhere.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p ref

convert-im6.q16 -size 13x7 xc: -sparse-color bilinear '0,0 red 12,0 lime 0,6 blue 12,6 yellow' \
  -fill white -draw 'point 2,2' -fill black -draw 'point 9,4' "$work/colour.ppm"
ppmtopgm "$work/colour.ppm" > "$work/grey.pgm"
pamthreshold -simple "$work/grey.pgm" | pamtopnm > "$work/bits.pbm"

for max in 1 15 100 255 1023 65535; do
  pamdepth "$max" "$work/colour.ppm" > "p6-$max.ppm"
  pnmtoplainpnm "p6-$max.ppm" > "p3-$max.ppm"
  pamdepth "$max" "$work/grey.pgm" > "p5-$max.pgm"
  pnmtoplainpnm "p5-$max.pgm" > "p2-$max.pgm"
done
cp "$work/bits.pbm" p4.pbm
pnmtoplainpnm p4.pbm > p1.pbm

for f in *.ppm *.pgm *.pbm; do
  name=${f%.*}
  pamdepth 255 "$f" 2>/dev/null | ppmtoppm | tail -c $((13 * 7 * 3)) > "ref/$name.rgb"
done
