#!/usr/bin/env bash
# Makes the JPEG test files of this folder and their reference decodings. Run it here; it needs
# libjpeg-turbo-progs, ImageMagick and Pillow (Debian's python3).
#
#   <name>.jpg   written by cjpeg (cjpeg-*), ImageMagick (im-*), or wrjpgcom / jpegtran from them
#   <name>.ppm   djpeg's decoding of it (.pgm for grey files), the reference within +-2
#   orient-N.jpg the same picture, stored turned or mirrored, with Exif orientation N (1 to 8);
#                orient-N.ppm is Pillow's upright picture of it (ImageOps.exif_transpose)
#   many-scans.jpg a progressive file of 2688 scans, more than any real file has
set -euo pipefail
cd "$(dirname "$0")"
python=/usr/bin/python3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 61 x 43 (no whole number of MCUs either way): smooth colour ramps with a few hard edges, so
# every channel and the edge blocks carry something.
"$python" - "$tmp/source.ppm" <<'PY'
import sys
from PIL import Image
w, h = 61, 43
im = Image.new("RGB", (w, h))
px = im.load()
for y in range(h):
    for x in range(w):
        r = x * 255 // (w - 1)
        g = y * 255 // (h - 1)
        b = 255 - (x + y) * 255 // (w + h - 2)
        if 20 <= x < 30 and 10 <= y < 25:
            r, g, b = 250, 240, 20
        im.putpixel((x, y), (r, g, b))
im.save(sys.argv[1])
PY

cjpeg -quality 90 "$tmp/source.ppm" >cjpeg-420.jpg
cjpeg -quality 90 -sample 2x1 "$tmp/source.ppm" >cjpeg-422.jpg
cjpeg -quality 90 -sample 1x1 "$tmp/source.ppm" >cjpeg-444.jpg
cjpeg -quality 90 -progressive "$tmp/source.ppm" >cjpeg-progressive.jpg
cjpeg -quality 90 -grayscale "$tmp/source.ppm" >cjpeg-grey.jpg
cjpeg -quality 90 -restart 3B "$tmp/source.ppm" >cjpeg-restart.jpg
convert-im6.q16 "$tmp/source.ppm" -quality 85 im-baseline.jpg
convert-im6.q16 "$tmp/source.ppm" -quality 85 -interlace Plane im-progressive.jpg
convert-im6.q16 "$tmp/source.ppm" -quality 85 -colorspace Gray im-grey.jpg
convert-im6.q16 "$tmp/source.ppm" -quality 85 -colorspace CMYK im-cmyk.jpg
wrjpgcom -comment "Erste Zeile" cjpeg-420.jpg | wrjpgcom -comment "Zweite" >two-comments.jpg

for file in cjpeg-*.jpg im-*.jpg; do
  djpeg "$file" >"$tmp/out"
  case $(head -c 2 "$tmp/out") in
    P5) mv "$tmp/out" "${file%.jpg}.pgm" ;;
    *) mv "$tmp/out" "${file%.jpg}.ppm" ;;
  esac
done

# Orientation N: the upright picture stored as the camera would have stored it, then the Exif
# block with the tag (little-endian for even N, big-endian for odd N, after another tag).
"$python" - "$tmp/source.ppm" <<'PY'
import io, struct, sys
from PIL import Image, ImageOps
upright = Image.open(sys.argv[1])
# The transformation that turns the upright picture into the stored one, the inverse of the turn
# the orientation asks for.
stored_by = {1: None, 2: Image.FLIP_LEFT_RIGHT, 3: Image.ROTATE_180, 4: Image.FLIP_TOP_BOTTOM,
             5: Image.TRANSPOSE, 6: Image.ROTATE_90, 7: Image.TRANSVERSE, 8: Image.ROTATE_270}
for n, method in stored_by.items():
    stored = upright if method is None else upright.transpose(method)
    order = "<" if n % 2 == 0 else ">"
    tiff = (b"II" if order == "<" else b"MM") + struct.pack(order + "HI", 42, 8)
    make = b"Quizmora\0"
    tiff += struct.pack(order + "H", 2)
    tiff += struct.pack(order + "HHII", 0x010F, 2, len(make), 8 + 2 + 2 * 12 + 4)
    tiff += struct.pack(order + "HHIHH", 0x0112, 3, 1, n, 0)
    tiff += struct.pack(order + "I", 0) + make
    buffer = io.BytesIO()
    stored.save(buffer, "JPEG", quality=90, exif=b"Exif\0\0" + tiff)
    name = "orient-%d" % n
    open(name + ".jpg", "wb").write(buffer.getvalue())
    ImageOps.exif_transpose(Image.open(name + ".jpg")).convert("RGB").save(name + ".ppm")
PY

# The first scan of a small progressive file, repeated: libjpeg only warns about a scan that
# sends the same coefficients again, so nothing but a count of the scans stops such a file.
convert-im6.q16 "$tmp/source.ppm" -crop 8x8+0+0 ppm:- | cjpeg -grayscale -progressive >"$tmp/tiny.jpg"
"$python" - "$tmp/tiny.jpg" many-scans.jpg <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
start = data.index(b"\xff\xda")
end = start + 2
while not (data[end] == 0xFF and data[end + 1] not in (0x00, *range(0xD0, 0xD8))):
    end += 1
open(sys.argv[2], "wb").write(data[:end] + data[start:end] * 1200 + data[end:])
PY
