#!/usr/bin/env bash
# The editor's import of a 12-megapixel phone photo (4000 x 3000 JPEG with Exif orientation 6):
# wall and CPU time before and after (bench_store_picture_import), and the size of each "Pic.png"
# next to ImageMagick's default PNG of the same pixels, for the photo (fitted and at its own size)
# and for a screen shot, in one run on one machine.
#
#   bench/import_vs_imagemagick.sh [build dir with -DQUIZMORA_BENCH=ON -DCMAKE_BUILD_TYPE=Release]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
root="$(cd "$(dirname "$0")/.." && pwd)"
bench_setup "${1:-}"
bench="$build_dir/bench/bench_store_picture_import"
puzzles="$build_dir/bin/quizmora-puzzles"
img="$build_dir/bin/quizmora-img"
for program in "$bench" "$puzzles" "$img"; do
  bench_need "$program" "bench_store_picture_import, quizmora-puzzles and quizmora-img"
done
bench_workdir

# A photo-like picture: colour gradients over the frame with sensor noise that never repeats.
"$python" - "$work/photo.ppm" <<'PY'
import sys
from PIL import Image, ImageChops
size = (4000, 3000)
red = Image.linear_gradient("L").resize(size, Image.BICUBIC)
green = Image.radial_gradient("L").resize(size, Image.BICUBIC)
blue = Image.linear_gradient("L").rotate(90).resize(size, Image.BICUBIC)
noise = Image.effect_noise(size, 6)
channels = [ImageChops.add(c, noise, 1.0, -128) for c in (red, green, blue)]
Image.merge("RGB", channels).save(sys.argv[1])
PY
cjpeg -quality 90 "$work/photo.ppm" >"$work/photo.jpg"

echo "import of a 4000x3000 JPEG photo, Exif orientation 6 (milliseconds per import; bytes of Pic.png)"
QUIZMORA_BENCH_PHOTO="$work/photo.jpg" "$bench" --benchmark_counters_tabular=true 2>/dev/null | grep '^BM_'

# The same photo through the tool, with the orientation block the benchmark adds.
"$python" - "$work/photo.jpg" "$work/oriented.jpg" <<'PY'
import sys
exif = bytes.fromhex("ffe10022") + b"Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0"
data = open(sys.argv[1], "rb").read()
open(sys.argv[2], "wb").write(data[:2] + exif + data[2:])
PY
export XDG_CONFIG_HOME="$work/config"  # the default largest size
"$puzzles" add "$work/set" --question F --answer A --number 1 --mode overwrite --picture "$work/oriented.jpg" >/dev/null
"$puzzles" add "$work/set" --question F --answer A --number 2 --mode overwrite --picture "$work/oriented.jpg" --keep-size >/dev/null
"$img" convert "$root/docs/screenshot.png" "$work/shot.png"

echo
echo "Pic.png against ImageMagick's default PNG of the same pixels (bytes)"
printf '%-22s %12s %12s %12s %8s\n' "picture" "size" "ours" "ImageMagick" "ratio"
for entry in "photo fitted:$work/set/Game001/Pic.png" "photo at its size:$work/set/Game002/Pic.png" \
             "screen shot:$work/shot.png"; do
  name=${entry%%:*}
  ours=${entry#*:}
  convert-im6.q16 "$ours" ppm:- | convert-im6.q16 ppm:- "$work/im.png"
  size=$(identify-im6.q16 -format '%wx%h' "$ours")
  a=$(stat -c %s "$ours")
  b=$(stat -c %s "$work/im.png")
  awk -v n="$name" -v s="$size" -v a="$a" -v b="$b" 'BEGIN { printf "%-22s %12s %12d %12d %8.4f\n", n, s, a, b, a / b }'
done
