#!/bin/sh
# Makes the GIF fixtures of tests/imaging/gif_test.cpp with ImageMagick, gifsicle and Pillow, and
# beside each NAME.gif the decoding of its first frame, NAME.rgb (R, G, B per pixel, rows from the
# top), as Pillow decodes it; ImageMagick must decode the same pixels. Run from this folder.
set -eu
PY=/usr/bin/python3
IM=convert-im6.q16
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Source pictures: a smooth photo-like scene and a second one for animations.
$PY - "$tmp" <<'PYEOF'
import sys, math
from PIL import Image
d = sys.argv[1]
def scene(w, h, shift):
    im = Image.new("RGB", (w, h))
    px = im.load()
    for y in range(h):
        for x in range(w):
            r = int(127 + 120 * math.sin((x + shift) / 7.0))
            g = int(127 + 120 * math.cos((y - shift) / 5.0))
            b = (x * 7 + y * 13 + shift * 29) % 256
            px[x, y] = (r, g, b)
    return im
scene(40, 30, 0).save(d + "/a.png")
scene(40, 30, 9).save(d + "/b.png")
scene(40, 30, 17).save(d + "/c.png")
PYEOF

# ImageMagick: 256, 16, 4 and 2 colours, interlaced, and an animation whose frames keep their own
# palettes (local tables).
$IM "$tmp/a.png" -colors 256 im-256.gif
$IM "$tmp/a.png" -colors 16 -interlace GIF im-16-interlaced.gif
$IM "$tmp/a.png" -colors 4 im-4.gif
$IM "$tmp/a.png" -colors 2 im-2.gif
$IM -delay 20 "$tmp/a.png" "$tmp/b.png" "$tmp/c.png" -colors 64 im-anim.gif

# gifsicle: from ImageMagick's files, interlaced, with a transparent colour, 8 colours, and an
# animation of frames with different palettes.
gifsicle --interlace im-256.gif > gs-interlaced.gif
gifsicle --colors 8 im-256.gif > gs-8.gif
gifsicle --transparent 0 im-4.gif > gs-transparent.gif
gifsicle --no-warnings --delay 10 --loopcount=forever im-4.gif im-16-interlaced.gif im-2.gif > gs-anim.gif

# Pillow: adaptive palettes of several sizes, interlaced by default, transparency and an animation.
$PY - "$tmp" <<'PYEOF'
import sys
from PIL import Image
d = sys.argv[1]
a = Image.open(d + "/a.png"); b = Image.open(d + "/b.png")
a.quantize(256).save("pil-256.gif")
a.quantize(32).save("pil-32-plain.gif", interlace=False)
a.quantize(3).save("pil-3.gif")
a.quantize(16).save("pil-transparent.gif", transparency=2)
frames = [a.quantize(64), b.quantize(16)]
frames[0].save("pil-anim.gif", save_all=True, append_images=frames[1:], duration=100, loop=0)
PYEOF

# Hand-made files: an LZW stream that lets its table fill up and goes on with 12-bit codes
# without a clear code (the "deferred clear" that GIF89a allows), and one with a plain
# text extension of several sub-blocks and an extension of an unknown label before the image.
$PY - <<'PYEOF'
import random, struct
random.seed(7)
W, H = 90, 70
pixels = [random.randrange(256) for _ in range(W * H)]
pal = bytes(random.randrange(256) for _ in range(768))

def lzw_deferred(data, min_size=8):
    clear, end = 1 << min_size, (1 << min_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    free, bits = end + 1, min_size + 1
    codes = [(clear, bits)]
    cur = bytes([data[0]])
    for p in data[1:]:
        nxt = cur + bytes([p])
        if nxt in table:
            cur = nxt
            continue
        codes.append((table[cur], bits))
        # Like every encoder, one code after the decoder's table reaches the next power of two.
        if free == (1 << bits) and bits < 12:
            bits += 1
        if free < 4096:
            table[nxt] = free
            free += 1
        cur = bytes([p])
    codes.append((table[cur], bits))
    codes.append((end, bits))
    acc = nbits = 0
    out = bytearray()
    for code, n in codes:
        acc |= code << nbits
        nbits += n
        while nbits >= 8:
            out.append(acc & 255); acc >>= 8; nbits -= 8
    if nbits:
        out.append(acc)
    return bytes(out)

def blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out) + b"\0"

def gif(extensions, data):
    head = b"GIF89a" + struct.pack("<HHBBB", W, H, 0xF7, 0, 0) + pal
    desc = b"\x2c" + struct.pack("<HHHHB", 0, 0, W, H, 0) + b"\x08"
    return head + extensions + desc + blocks(data) + b"\x3b"

# A first image with a 4-entry local table over a 256-entry global one, two-bit LZW codes.
local = b"\x2c" + struct.pack("<HHHHB", 0, 0, W, H, 0x81) + bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9]) + b"\x02"
quarter = [p & 3 for p in pixels]
open("hand-local-table.gif", "wb").write(
    b"GIF89a" + struct.pack("<HHBBB", W, H, 0xF7, 0, 0) + pal + local + blocks(lzw_deferred(quarter, 2)) + b"\x3b")
open("hand-deferred-clear.gif", "wb").write(gif(b"", lzw_deferred(pixels)))
plain = b"\x21\x01\x0c" + bytes(12) + blocks(b"Quizmora plain text " * 20)
unknown = b"\x21\x99" + blocks(bytes(range(200)) * 2)
open("hand-extensions.gif", "wb").write(gif(plain + unknown, lzw_deferred(pixels)))
PYEOF

# Broken and hostile files, each with one fault, in hostile/: a 2x2 picture of 4 colours whose
# codes are 3 bits wide (clear 4, end 5) unless a fault says otherwise.
mkdir -p hostile
$PY - <<'PYEOF'
import struct
def pack(codes, width=3):
    acc = nbits = 0
    out = bytearray()
    for code in codes:
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 255); acc >>= 8; nbits -= 8
    return bytes(out + (bytes([acc]) if nbits else b""))
good = pack([4, 1, 2, 6, 5])
def gif(w=2, h=2, data=good, size=2, before=b"", table=True):
    head = b"GIF89a" + struct.pack("<HHBBB", 4, 4, 0x81 if table else 0, 0, 0)
    head += bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255]) if table else b""
    return head + before + b"\x2c" + struct.pack("<HHHHBB", 0, 0, w, h, 0, size) + bytes([len(data)]) + data + b"\0\x3b"
files = {
    "no-image": b"GIF87a\1\0\1\0\0\0\0\x3b",
    "short-header": b"GIF89a\1\0",
    "no-colour-table": gif(table=False),
    "control-terminator": gif(before=b"\x21\xf9\4\0\0\0\0\7"),
    "code-above-next-free": gif(data=pack([4, 1, 7, 5])),
    "first-code-no-pixel": gif(data=pack([4, 6, 5])),
    "code-size-12": gif(size=12),
    "fewer-pixels-than-rows": gif(h=3),
    "huge-frame-little-data": gif(w=32768, h=32768),
    "truncated-data": gif()[:-4],
    "unknown-introducer": gif(before=b"\x77"),
}
for name, data in files.items():
    open("hostile/" + name + ".gif", "wb").write(data)
PYEOF

# The reference decodings, checked against ImageMagick's.
for gif in *.gif; do
    name=${gif%.gif}
    $PY -c "
import sys
from PIL import Image
im = Image.open(sys.argv[1])
open(sys.argv[2], 'wb').write(im.convert('RGB').tobytes())
" "$gif" "$name.rgb"
    $IM "$gif[0]" -alpha off -depth 8 "rgb:$tmp/im.rgb"
    cmp -s "$name.rgb" "$tmp/im.rgb" || echo "note: ImageMagick decodes $gif differently" >&2
done
