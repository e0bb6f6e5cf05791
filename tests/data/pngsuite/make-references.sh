#!/bin/sh
# Decodes every PngSuite file with ImageMagick into 8-bit RGBA (ref/<name>.rgba), the independent
# reading the PNG tests compare against; 16-bit files as 16-bit RGBA (ref/<name>.rgba16,
# big-endian samples), since ImageMagick's reduction to 8 bits truncates where the reader
# rounds. The colour-space chunks are dropped first, so the
# references hold the stored samples, not gamma-corrected ones. Run from this folder.
set -e
mkdir -p ref
for f in *.png; do
  case "$f" in
    *16.png) target="-depth 16 -endian MSB rgba:ref/${f%.png}.rgba16" ;;
    *) target="-depth 8 rgba:ref/${f%.png}.rgba" ;;
  esac
  python3 - "$f" <<'PY' | convert-im6.q16 png:- $target
import struct, sys
data = open(sys.argv[1], "rb").read()
out, pos = bytearray(data[:8]), 8
while pos < len(data):
    length = struct.unpack(">I", data[pos:pos + 4])[0]
    chunk = data[pos:pos + 12 + length]
    if chunk[4:8] not in (b"gAMA", b"cHRM", b"sRGB", b"iCCP"):
        out += chunk
    pos += 12 + length
sys.stdout.buffer.write(out)
PY
done
