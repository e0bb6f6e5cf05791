#!/usr/bin/env bash
# Makes the TIFF fixtures of the codec tests with libtiff's tiffcp, ImageMagick and Pillow, and
# beside each one its pixels as libtiff's tiff2rgba decodes them, as raw 8-bit RGBA in
# ref/<name>.rgba. Run from anywhere; rewrites the folder's files.
set -euo pipefail
cd "$(dirname "$0")"
im=convert-im6.q16
python=/usr/bin/python3
rm -f ./*.tif ref/*.rgba src-*
mkdir -p ref

# The pictures: photo-like colour and grey of an odd width, and a bilevel drawing.
"$python" - <<'PY'
from PIL import Image, ImageDraw
import random
random.seed(7)
w, h = 37, 23
rgb = Image.new("RGB", (w, h))
rgb.putdata([((x * 7 + random.randrange(9)) % 256, (y * 11 + x * 3) % 256, (x * y + random.randrange(40)) % 256)
             for y in range(h) for x in range(w)])
rgb.save("src-rgb.png")
rgb.convert("L").save("src-grey.png")
rgb.quantize(16).save("src-pal16.png")
rgb.quantize(200).save("src-pal256.png")
bw = Image.new("1", (61, 19), 1)
d = ImageDraw.Draw(bw)
d.ellipse((3, 2, 40, 17), outline=0, width=3)
d.rectangle((45, 0, 60, 18), fill=0)
d.line((0, 18, 60, 0), fill=0)
bw.save("src-bw.png")
# Pillow's own writer and its libtiff codecs.
rgb.save("pil-rgb-raw.tif")
rgb.save("pil-rgb-lzw.tif", compression="tiff_lzw")
rgb.save("pil-rgb-packbits.tif", compression="packbits")
rgb.save("pil-rgb-deflate.tif", compression="tiff_adobe_deflate")
rgb.convert("RGBA").save("pil-rgba-lzw.tif", compression="tiff_lzw")
rgb.convert("L").save("pil-grey-lzw.tif", compression="tiff_lzw")
rgb.quantize(200).save("pil-pal8-packbits.tif", compression="packbits")
bw.save("pil-bw-ccitt.tif", compression="tiff_ccitt")
bw.save("pil-bw-raw.tif")
PY

# ImageMagick: each compression, both byte orders, grey and palette depths, WhiteIsZero.
$im src-rgb.png -compress None im-rgb-none.tif
$im src-rgb.png -compress LZW -endian MSB im-rgb-lzw-be.tif
$im src-rgb.png -compress RLE im-rgb-packbits.tif
$im src-rgb.png -compress Zip -endian MSB im-rgb-zip-be.tif
$im src-grey.png -compress LZW -define quantum:polarity=min-is-white im-grey-whiteiszero.tif
$im src-grey.png -depth 4 -compress None im-grey4.tif
$im src-pal16.png -type Palette -depth 4 -compress LZW im-pal4-lzw.tif
$im src-pal256.png -type Palette -compress RLE -endian MSB im-pal8-packbits-be.tif
$im src-bw.png -type Bilevel -depth 1 -compress None im-bw-none.tif
$im src-bw.png -type Bilevel -depth 1 -define quantum:polarity=min-is-white -compress LZW im-bw-whiteiszero.tif
$im src-bw.png -type Palette -colors 2 -depth 1 -compress None -define tiff:photometric=palette im-pal1.tif
$im src-bw.png -type Bilevel -depth 1 -compress RLE -endian MSB im-bw-packbits-be.tif
$im -size 37x23 gradient:red-blue -depth 16 -compress None im-rgb16.tif
$im -size 37x23 gradient:white-black -depth 16 -compress Zip -endian MSB im-grey16-zip-be.tif

# tiffcp: predictor 2, strips of one and of several rows, one strip, big-endian output.
tiffcp -c none pil-rgb-raw.tif tcp-src.tif
tiffcp -c lzw:2 -r 1 tcp-src.tif tcp-rgb-lzw-pred-r1.tif
tiffcp -c lzw:2 -r 5 -B tcp-src.tif tcp-rgb-lzw-pred-r5-be.tif
tiffcp -c zip:2 -r 4 tcp-src.tif tcp-rgb-zip-pred.tif
tiffcp -c packbits -r 1000 tcp-src.tif tcp-rgb-packbits-onestrip.tif
tiffcp -c none -r 1000 -B tcp-src.tif tcp-rgb-none-onestrip-be.tif
tiffcp -c lzw:2 -r 3 pil-grey-lzw.tif tcp-grey-lzw-pred.tif
tiffcp -c lzw -r 7 -B im-pal4-lzw.tif tcp-pal4-lzw-be.tif
tiffcp -c lzw -r 1 pil-bw-raw.tif tcp-bw-lzw-r1.tif
tiffcp -c lzw:2 -r 6 im-rgb16.tif tcp-rgb16-lzw-pred.tif
tiffcp -c none -L -f lsb2msb pil-bw-raw.tif tcp-bw-fill2.tif
rm -f tcp-src.tif

# libtiff's own RGBA decoding (colour maps scaled by their high byte), taken apart by ImageMagick.
for f in ./*.tif; do
  tiff2rgba -c none "$f" ref/rgba.tif
  $im ref/rgba.tif -depth 8 "rgba:ref/$(basename "$f" .tif).rgba"
done
rm -f ref/rgba.tif
rm -f src-*
