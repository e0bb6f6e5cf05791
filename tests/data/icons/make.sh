#!/bin/bash
# Makes the icon fixtures of tests/imaging/icon_test.cpp and the reference pixels they are compared
# with. Pictures come from Pillow; icons from icoutils (icotool -c) and ImageMagick; executables from
# the mingw-w64 resource compiler and linker (binutils-mingw-w64, needed only to run this script;
# the host's cpp preprocesses the resource scripts).
# The NE file is put together byte by byte below: no tool at hand still links 16-bit Windows
# programs. References are the images icotool -x extracts (after wrestool -x for executables),
# stored as raw 8-bit RGBA by Pillow in ref/.
set -euo pipefail
cd "$(dirname "$0")"
py=/usr/bin/python3
im=convert-im6.q16
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf ref && mkdir -p ref

# ---- source pictures and the hand-made icons --------------------------------------------------
"$py" - "$work" <<'PYTHON'
import struct, sys
from PIL import Image
out = sys.argv[1]

def picture(name, w, h, colours, alpha):
    """colours: list of (r,g,b); alpha(x, y) -> 0..255."""
    im = Image.new('RGBA', (w, h))
    for y in range(h):
        for x in range(w):
            r, g, b = colours[(x * 3 + y * 5 + (x * y) // 7) % len(colours)]
            im.putpixel((x, y), (r, g, b, alpha(x, y)))
    im.save(f'{out}/{name}.png')

def ring(w, h):
    return lambda x, y: 0 if (2 * x - w) ** 2 + (2 * y - h) ** 2 > w * h else 255

sixteen = [(i * 16 % 256, i * 37 % 256, 255 - i * 15) for i in range(15)]
many = [(i % 256, i * 7 % 256, i * 13 % 256) for i in range(200)]
picture('p16x16-4', 16, 16, sixteen, ring(16, 16))
picture('p32x32-4', 32, 32, sixteen, ring(32, 32))
picture('p32x32-8', 32, 32, many, ring(32, 32))
picture('p13x11-4', 13, 11, sixteen[:9], lambda x, y: 0 if x + y < 5 else 255)
picture('p24x24-1', 24, 24, [(0, 0, 0), (255, 255, 255)], lambda x, y: 0 if x > y + 10 else 255)
picture('p20x20-24', 20, 20, many, lambda x, y: 0 if (x // 4 + y // 4) % 3 == 0 else 255)
picture('p48x48-32', 48, 48, many, lambda x, y: min(255, (x * 255) // 40) if y > 8 else 0)
picture('p64x64-png', 64, 64, many[:40], lambda x, y: (x * y) % 256)
picture('p256x256', 256, 256, [(20, 90, 200), (240, 240, 30)], lambda x, y: 0 if x < 40 else 255)

def bitmap_entry(w, h, bits, palette, rows, mask_rows):
    """A bitmap image of an icon: header, colour table, colour rows and mask rows, bottom row first."""
    stride = (w * bits + 31) // 32 * 4
    mask_stride = (w + 31) // 32 * 4
    data = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0)
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    def pack(values, depth, size):
        row = bytearray(size)
        for x, v in enumerate(values):
            bit = x * depth
            row[bit // 8] |= v << (8 - depth - bit % 8)
        return bytes(row)
    for y in reversed(range(h)):
        data += pack(rows[y], bits, stride)
    for y in reversed(range(h)):
        data += pack(mask_rows[y], 1, mask_stride)
    return data

def ico_file(name, entries):
    """entries: (w, h, colour count, bits, data)"""
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    body = b''
    for w, h, count, bits, data in entries:
        head += struct.pack('<BBBBHHII', w % 256, h % 256, count % 256, 0, 1, bits, len(data), offset + len(body))
        body += data
    open(f'{out}/{name}', 'wb').write(head + body)

# Every index of an 8-bit palette in use but 100 and 101, 254 and 255 among them, some masked.
palette = [(i, (i * 5) % 256, 255 - i) for i in range(256)]
indices = [i for i in range(256) if i not in (100, 101)] + [254, 255]
rows = [[indices[(y * 16 + x) % len(indices)] for x in range(16)] for y in range(16)]
mask = [[1 if x < 3 and y < 3 else 0 for x in range(16)] for y in range(16)]
ico_file('crafted-8bit.ico', [(16, 16, 0, 8, bitmap_entry(16, 16, 8, palette, rows, mask))])

# Monochrome with transparent (mask 1, colour 0) and screen-inverting (mask 1, colour 1) pixels.
mono_rows = [[(x // 2 + y) % 2 for x in range(8)] for y in range(8)]
mono_mask = [[1 if y < 3 else 0 for x in range(8)] for y in range(8)]
mono = bitmap_entry(8, 8, 1, [(0, 0, 0), (255, 255, 255)], mono_rows, mono_mask)
ico_file('crafted-mono.ico', [(8, 8, 2, 1, mono)])
PYTHON

icotool -c -o ico-depths.ico -b 4 "$work/p16x16-4.png" -b 4 "$work/p32x32-4.png" -b 8 "$work/p32x32-8.png"
icotool -c -o ico-mono.ico -b 1 "$work/p24x24-1.png" -b 4 "$work/p13x11-4.png"
icotool -c -o ico-truecolor.ico -b 24 "$work/p20x20-24.png" -b 32 "$work/p48x48-32.png"
icotool -c -o ico-png.ico -b 32 "$work/p16x16-4.png" -r "$work/p64x64-png.png"
icotool -c --cursor -X 3 -Y 5 -o cur-pointer.cur -b 4 "$work/p32x32-4.png" -b 32 "$work/p48x48-32.png"
"$im" "$work/p48x48-32.png" -define icon:auto-resize=48,16 ico-magick.ico
"$im" "$work/p256x256.png" -define icon:auto-resize=256 ico-magick256.ico
cp "$work/crafted-8bit.ico" ico-crafted8.ico

# ---- executables --------------------------------------------------------------------------------
cp ico-depths.ico ico-png.ico ico-truecolor.ico "$work/"
cat > "$work/icons.rc" <<'RC'
1 ICON "ico-depths.ico"
7 ICON "ico-png.ico"
RC
cat > "$work/icons32.rc" <<'RC'
3 ICON "ico-truecolor.ico"
RC
printf '.globl start\nstart:\n ret\n' > "$work/start.s"
for arch in x86_64 i686; do
    rc=icons.rc; [ $arch = i686 ] && rc=icons32.rc
    (cd "$work" && "$arch-w64-mingw32-as" -o start-$arch.o start.s &&
        "$arch-w64-mingw32-windres" --preprocessor=cpp -O coff -o res-$arch.o $rc &&
        "$arch-w64-mingw32-ld" --subsystem windows -e start -s -o app-$arch.exe start-$arch.o res-$arch.o)
done
cp "$work/app-x86_64.exe" exe-pe64.exe
cp "$work/app-i686.exe" exe-pe32.exe

# A 16-bit program's resource table: the monochrome icon above and ico-depths' first image in one
# group icon (identifier 5), behind a DOS stub and an NE header that carry nothing else.
"$py" - "$work" <<'PYTHON'
import struct, sys
out = sys.argv[1]
def images(path):
    data = open(path, 'rb').read()
    count = struct.unpack_from('<H', data, 4)[0]
    result = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        result.append((w, h, colours, planes, bits, data[offset:offset + size]))
    return result
icons = [images(f'{out}/crafted-mono.ico')[0], images('ico-depths.ico')[0]]
shift = 4
table = 0x80
group = struct.pack('<HHH', 0, 1, len(icons))
for n, (w, h, colours, planes, bits, data) in enumerate(icons):
    group += struct.pack('<BBBBHHIH', w, h, colours, 0, planes, bits, len(data), n + 1)
blocks = [data for *_, data in icons] + [group]
resource_table = struct.pack('<H', shift)
resource_table += struct.pack('<HHI', 0x8003, len(icons), 0)
names_at = len(resource_table)
resource_table += b'\0' * 12 * len(icons)
resource_table += struct.pack('<HHI', 0x800E, 1, 0)
group_at = len(resource_table)
resource_table += b'\0' * 12
resource_table += struct.pack('<H', 0)
data_start = (table + len(resource_table) + 15) // 16 * 16
layout, position = [], data_start
for block in blocks:
    layout.append(position)
    position = (position + len(block) + 15) // 16 * 16
table_bytes = bytearray(resource_table)
ids = [0x8001, 0x8002, 0x8005]
for n, block in enumerate(blocks):
    at = names_at + 12 * n if n < len(icons) else group_at
    struct.pack_into('<HHHHHH', table_bytes, at, layout[n] >> shift, (len(block) + 15) >> shift, 0x1C30, ids[n], 0, 0)
dos = bytearray(0x40)
dos[0:2] = b'MZ'
struct.pack_into('<I', dos, 0x3C, 0x40)
ne = bytearray(0x40)
ne[0:2] = b'NE'
struct.pack_into('<H', ne, 0x24, table - 0x40)  # resource table, from the NE header
struct.pack_into('<H', ne, 0x26, data_start - 0x40)  # resident names: none, right after the table
ne[0x36] = 2  # target: Windows
image = bytearray(dos + ne + table_bytes)
image += b'\0' * (data_start - len(image))
for n, block in enumerate(blocks):
    image += b'\0' * (layout[n] - len(image)) + block
image += b'\0' * (-len(image) % 16)
open('exe-ne16.exe', 'wb').write(image)
PYTHON

# ---- references ---------------------------------------------------------------------------------
# ref/<file>[-g<group>]-<index>.rgba.z: the image icotool extracts, as raw RGBA in a zlib stream.
to_rgba() { "$py" -c 'import sys, zlib; from PIL import Image; open(sys.argv[2], "wb").write(zlib.compress(Image.open(sys.argv[1]).convert("RGBA").tobytes(), 9))' "$1" "$2"; }
extract() {  # icon file, reference stem
    local count
    count=$(icotool -l "$1" | wc -l)
    for ((i = 1; i <= count; i++)); do
        icotool -x -i $i -o "$work/x.png" "$1"
        to_rgba "$work/x.png" "ref/$2-$((i - 1)).rgba.z"
    done
}
for f in ico-*.ico cur-*.cur; do extract "$f" "${f%.*}"; done
for exe in exe-*.exe; do
    mkdir -p "$work/groups-$exe"
    wrestool -x -t14 -o "$work/groups-$exe" "$exe"
    for g in "$work/groups-$exe"/*.ico; do
        id=$(basename "$g" | sed -E 's/.*_14_([0-9]+)(_[0-9]+)?\.ico$/\1/')
        extract "$g" "${exe%.exe}-g$id"
    done
done
ls -l ref
