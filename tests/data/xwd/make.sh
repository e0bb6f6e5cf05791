#!/bin/sh
# Makes the XWD fixtures: dumps by the X11 xwd program of an Xvfb screen showing a colourful
# picture (through ImageMagick's display), at every depth Xvfb offers (8-bit pseudo colour, 15, 16,
# 24 and 30 bits; xwd writes them least significant byte first), one dump of a 16-bit screen with a
# 24-bit window on it (xwd then writes 24 bits per pixel), ImageMagick's own XWD files (most
# significant byte first: 24-bit direct colour, an 8-bit palette), and ImageMagick's decoding of each
# as ref/<name>.rgb. Neither program writes 1-bit dumps here, so two are built by hand (a bitmap
# in both byte and bit orders) and also decoded by ImageMagick. Needs imagemagick, xvfb and xdotool (x11-apps for xwd). Run from anywhere.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p ref

convert-im6.q16 -size 33x21 xc: -sparse-color bilinear '0,0 red 32,0 lime 0,20 blue 32,20 yellow' \
  -fill white -draw 'rectangle 3,3 8,8' -fill black -draw 'rectangle 20,10 26,14' "$work/pattern.png"

# dump DEPTH VISUAL OUTPUT
dump() {
  display=$((140 + $1))
  Xvfb ":$display" -screen 0 40x28x$1 -nolisten tcp >/dev/null 2>&1 &
  server=$!
  sleep 1
  DISPLAY=":$display" display-im6.q16 -visual "$2" -geometry +0+0 "$work/pattern.png" &
  viewer=$!
  DISPLAY=":$display" timeout 10 xdotool search --sync --onlyvisible --classname display >/dev/null || true
  sleep 1
  DISPLAY=":$display" xwd -root -silent > "$3"
  kill "$viewer" "$server" 2>/dev/null || true
  wait "$viewer" "$server" 2>/dev/null || true
}
for depth in 8 15 16 24 30; do
  dump "$depth" default "xvfb-d$depth.xwd"
done
dump 16 DirectColor xvfb-mixed.xwd

convert-im6.q16 "$work/pattern.png" im-rgb.xwd
# A palette of exact 8-bit colours, so that the colour map holds the usual replicated samples.
convert-im6.q16 "$work/pattern.png" +dither -remap netscape: im-pal8.xwd
convert-im6.q16 "$work/pattern.png" -colorspace gray -colors 4 im-grey.xwd

python3 - bits <<'PY'
import struct, sys
# A 1-bit dump: width 37, height 5, bitmap unit 32, lines padded to 32 bits.
def dump(path, byte_order, bit_order):
    w, h = 37, 5
    bpl = (w + 31) // 32 * 4
    rows = []
    for y in range(h):
        bits = [1 if (x * (y + 1) + y) % 3 == 0 else 0 for x in range(w)] + [0] * (bpl * 8 - w)
        units = []
        for u in range(bpl // 4):
            chunk = bits[u * 32:(u + 1) * 32]
            value = 0
            for i, b in enumerate(chunk):
                value |= b << (31 - i if bit_order else i)
            units.append(struct.pack('>I' if byte_order else '<I', value))
        rows.append(b''.join(units))
    name = b'bits\0'
    fields = [100 + len(name), 7, 2, 1, w, h, 0, byte_order, 32, bit_order, 32, 1, bpl, 0, 0, 0, 0, 1, 2, 2, w, h, 0, 0, 0]
    cmap = b''.join(struct.pack('>IHHHBB', i, v, v, v, 7, 0) for i, v in ((0, 0), (1, 0xFFFF)))
    open(path, 'wb').write(struct.pack('>25I', *fields) + name + cmap + b''.join(rows))
dump(sys.argv[1] + '-msb.xwd', 1, 1)
dump(sys.argv[1] + '-lsb.xwd', 0, 0)
PY

for f in *.xwd; do
  convert-im6.q16 "$f" -depth 8 "rgb:ref/${f%.xwd}.rgb"
done
