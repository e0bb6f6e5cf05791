#!/usr/bin/python3
"""Builds the three question fonts res/FONT/Q36.fnt, Q24.fnt and Q18.fnt.

Each font covers the byte codes 0 to 255 in the Windows-1252 layout, rendered from DejaVu Sans
(fonts-dejavu-core; licence in LICENSE-DejaVu.txt beside this script) without anti-aliasing, since
the game's soft brush smooths the ink itself.

File layout, as the imaging library reads it (multi-byte fields little-endian unless said):
  long header, 16 bytes: 00 00 46 4E, flag byte 0, three zero bytes, first code (16 bits),
      last code (16 bits), four zero bytes;
  offset table: one 32-bit offset from the start of the file per code, first to last;
  metrics block: magic 0x55AA00FF, total length of the block (header included), then records
      of id (16 bits, big-endian), value length (16 bits, big-endian) and value;
      id 0 spacing, id 1 spacing base, id 2 baseline drop (signed bytes);
  glyphs: width byte, height byte, then height rows of ceil(width / 8) bytes, the bottom row
      first, leftmost pixel in the most significant bit, 0 = ink, 1 = background.

Every glyph of a font is exactly as high as the font, with the baseline in the same row, so text
lines up whatever the vertical alignment. The generator reads each file back with an independent
parser and compares every glyph before it declares success.

Usage: make_fonts.py [--preview DIR]   (the preview writes a PNG sheet of each font to DIR)
"""

import math
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

ROOT = Path(__file__).resolve().parents[2]
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

LONG_HEADER_MAGIC = 0x4E460000
METRICS_MAGIC = 0x55AA00FF
FIRST_CODE = 0
LAST_CODE = 255

# Glyph height -> DejaVu pixel size. Chosen so that accented capitals (Å, É) and descenders
# (g, Ç) stay inside the glyph with the bottom row free: the large font is drawn one row below
# the top of a 36-row strip and must not paint over the strip's bevel.
FONTS = {36: 30, 24: 20, 18: 15}


def character_of(code):
    """The Unicode character of a Windows-1252 byte, or None for controls and unused codes."""
    if code < 0x20 or code == 0x7F:
        return None
    try:
        return bytes([code]).decode("cp1252")
    except UnicodeDecodeError:
        return None


def render_glyph(font, char, height, baseline, blank_width):
    """Returns (width, rows) with rows top-down lists of booleans (True = ink)."""
    if char is None:
        return blank_width, [[False] * blank_width for _ in range(height)]
    advance = max(1, round(font.getlength(char)))
    left, _, right, _ = font.getbbox(char, anchor="ls")
    origin = max(0, -left)
    width = min(255, max(origin + advance, origin + right, 1))
    image = Image.new("1", (width, height), 0)
    ImageDraw.Draw(image).text((origin, baseline), char, font=font, fill=1, anchor="ls")
    pixels = image.load()
    rows = [[pixels[x, y] != 0 for x in range(width)] for y in range(height)]
    return width, rows


def encode_glyph(width, rows):
    """Width byte, height byte and the rows bottom-up with 0 bits for ink."""
    out = bytearray([width, len(rows)])
    for row in reversed(rows):
        for start in range(0, width, 8):
            byte = 0
            for bit in range(8):
                x = start + bit
                ink = x < width and row[x]
                if not ink:
                    byte |= 0x80 >> bit
            out.append(byte)
    return bytes(out)


def metrics_block(spacing, spacing_base, baseline_drop):
    records = b""
    for record_id, value in ((0, spacing), (1, spacing_base), (2, baseline_drop)):
        records += struct.pack(">HHb", record_id, 1, value)
    return struct.pack("<II", METRICS_MAGIC, 8 + len(records)) + records


def build_font(height, pixel_size):
    font = ImageFont.truetype(FONT_FILE, pixel_size)
    ascent, _ = font.getmetrics()
    # The tallest ink (accents on capitals) decides where the baseline sits.
    tops = [font.getbbox(c, anchor="ls")[1] for c in map(character_of, range(256)) if c]
    baseline = min(ascent, -min(tops))
    blank_width = max(1, round(font.getlength(" ")))

    glyphs = []
    for code in range(FIRST_CODE, LAST_CODE + 1):
        width, rows = render_glyph(font, character_of(code), height, baseline, blank_width)
        glyphs.append((width, rows))

    count = LAST_CODE - FIRST_CODE + 1
    header = struct.pack("<IB3xHH4x", LONG_HEADER_MAGIC, 0, FIRST_CODE, LAST_CODE)
    # A negative drop of the baseline's depth below the glyph top puts the baseline on y when
    # text is drawn baseline-aligned (the library shifts by minus this value).
    metrics = metrics_block(0, 0, -baseline)
    offset = len(header) + 4 * count + len(metrics)
    offsets = []
    data = bytearray()
    for width, rows in glyphs:
        offsets.append(offset + len(data))
        data += encode_glyph(width, rows)
    table = struct.pack("<%dI" % count, *offsets)
    return header + table + metrics + bytes(data), glyphs, baseline


class FontFormatError(Exception):
    pass


def parse_font(blob):
    """Reads a font file back the way the imaging library does, checking every bound.

    Returns (first, last, metrics dict, list of (width, rows top-down of booleans))."""
    def need(condition, message):
        if not condition:
            raise FontFormatError(message)

    need(len(blob) >= 2, "file shorter than a short header")
    if len(blob) >= 16 and struct.unpack_from("<I", blob, 0)[0] == LONG_HEADER_MAGIC:
        first, last = struct.unpack_from("<HH", blob, 8)
        table_at = 16
    else:
        first, last = blob[0], blob[1]
        table_at = 2
    need(first <= last, "first code above last code")
    count = last - first + 1
    need(table_at + 4 * count <= len(blob), "offset table runs past the end")
    offsets = struct.unpack_from("<%dI" % count, blob, table_at)

    metrics = {0: 0, 1: 1, 2: 0}
    at = table_at + 4 * count
    metrics_end = at
    if at + 8 <= len(blob) and struct.unpack_from("<I", blob, at)[0] == METRICS_MAGIC:
        total = struct.unpack_from("<I", blob, at + 4)[0]
        need(9 <= total <= 4096, "metrics length out of range")
        need(at + total <= len(blob), "metrics block runs past the end")
        pos = at + 8
        while pos + 4 <= at + total:
            record_id, length = struct.unpack_from(">HH", blob, pos)
            need(pos + 4 + length <= at + total, "metrics record runs past its block")
            if record_id in metrics and length >= 1:
                metrics[record_id] = struct.unpack_from("b", blob, pos + 4)[0]
            pos += 4 + length
        need(pos == at + total, "metrics records do not fill their block")
        metrics_end = at + total

    glyphs = []
    spans = []
    for index, offset in enumerate(offsets):
        need(metrics_end <= offset and offset + 2 <= len(blob),
             "glyph %d offset %d outside the glyph data" % (first + index, offset))
        width, height = blob[offset], blob[offset + 1]
        stride = (width + 7) // 8
        end = offset + 2 + stride * height
        need(end <= len(blob), "glyph %d runs past the end" % (first + index))
        rows = []
        for stored in range(height):
            row_at = offset + 2 + stored * stride
            row = [not (blob[row_at + x // 8] & (0x80 >> (x % 8))) for x in range(width)]
            rows.insert(0, row)
        glyphs.append((width, rows))
        spans.append((offset, end))
    spans.sort()
    for (_, end), (start, _) in zip(spans, spans[1:]):
        need(end <= start, "glyphs overlap")
    need(spans[-1][1] == len(blob), "bytes after the last glyph")
    return first, last, metrics, glyphs


def check_font(blob, height, glyphs, baseline):
    first, last, metrics, parsed = parse_font(blob)
    if (first, last) != (FIRST_CODE, LAST_CODE):
        raise FontFormatError("code range %d..%d" % (first, last))
    if metrics != {0: 0, 1: 0, 2: -baseline}:
        raise FontFormatError("metrics read back as %r" % metrics)
    for code, (expected, actual) in enumerate(zip(glyphs, parsed), start=first):
        if actual[0] < 1 or len(actual[1]) != height:
            raise FontFormatError("glyph %d is %dx%d" % (code, actual[0], len(actual[1])))
        if expected != actual:
            raise FontFormatError("glyph %d differs after reading back" % code)
    # Letters must carry ink, controls must not.
    for code in (ord("A"), ord("g"), 0xC4, 0xDF, 0xFC):
        if not any(any(row) for row in parsed[code - first][1]):
            raise FontFormatError("glyph %d has no ink" % code)
    for code in (0, 9, 0x20, 0x81):
        if any(any(row) for row in parsed[code - first][1]):
            raise FontFormatError("glyph %d should be blank" % code)


def preview(path, height, glyphs):
    """A sheet of all 256 glyphs, 16 per line, for looking at the result."""
    cell = max(width for width, _ in glyphs) + 4
    sheet = Image.new("RGB", (16 * cell, 16 * (height + 4)), (0, 0, 0))
    pixels = sheet.load()
    for code, (width, rows) in enumerate(glyphs):
        ox, oy = (code % 16) * cell + 2, (code // 16) * (height + 4) + 2
        for y, row in enumerate(rows):
            for x in range(width):
                pixels[ox + x, oy + y] = (0, 255, 0) if row[x] else (40, 40, 40)
    sheet.save(path)


def main(argv):
    preview_dir = None
    if len(argv) == 3 and argv[1] == "--preview":
        preview_dir = Path(argv[2])
    elif len(argv) != 1:
        sys.exit(__doc__)
    out_dir = ROOT / "res" / "FONT"
    out_dir.mkdir(parents=True, exist_ok=True)
    for height, pixel_size in FONTS.items():
        blob, glyphs, baseline = build_font(height, pixel_size)
        check_font(blob, height, glyphs, baseline)
        (out_dir / ("Q%d.fnt" % height)).write_bytes(blob)
        if preview_dir:
            preview(preview_dir / ("Q%d.png" % height), height, glyphs)
        print("Q%d.fnt: %d bytes, DejaVu Sans %d px, baseline row %d"
              % (height, len(blob), pixel_size, baseline))


if __name__ == "__main__":
    main(sys.argv)
