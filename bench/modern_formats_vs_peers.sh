#!/usr/bin/env bash
# Decoding of one 12-megapixel photo-like picture (4000x3000) as WebP, AVIF and HEIC: quizmora-img
# (`info`, which loads the whole picture through LoadGraphicsFile) next to the decoders that come
# with the libraries, dwebp, avifdec and heif-convert, in one run on one machine. Every figure is
# the CPU time of the process (best of five), so both sides pay for starting up and reading the file.
#
# The peers cannot decode without writing: dwebp writes a PPM to /dev/null; avifdec writes an
# uncompressed PNG (--png-compress 0); heif-convert has no such option and writes a compressed PNG.
# Their Y4M output (YCbCr as decoded, no conversion to RGB) is shown beside them as the least a
# decoder can do: the goal is at most 1.1 times the peer, and the ratios are to both.
#
#   bench/modern_formats_vs_peers.sh [build dir with bin/quizmora-img, a Release build]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
tool="$build_dir/bin/quizmora-img"
bench_need "$tool" "target quizmora-img"
bench_workdir

# Smooth light, soft shapes and sensor noise, like a photo.
"$python" - "$work/photo.png" <<'PY'
import sys
from PIL import Image, ImageChops, ImageFilter
W, H = 4000, 3000
def channel(base, sigma):
    return ImageChops.add(base, Image.effect_noise((W, H), sigma), 1.0, -128)
red = Image.linear_gradient("L").resize((W, H)).rotate(30, expand=False)
green = Image.radial_gradient("L").resize((W, H))
blue = Image.effect_noise((W // 16, H // 16), 90).filter(ImageFilter.GaussianBlur(3)).resize((W, H), Image.BICUBIC)
Image.merge("RGB", [channel(red, 6), channel(green, 6), channel(blue, 6)]).save(sys.argv[1], compress_level=1)
PY
cwebp -quiet -q 80 "$work/photo.png" -o "$work/photo.webp"
avifenc -s 8 -j 2 "$work/photo.png" "$work/photo.avif" >/dev/null
heif-enc -q 80 "$work/photo.png" -o "$work/photo.heic" >/dev/null

"$python" - "$tool" "$work" <<'PY'
import os, resource, subprocess, sys
tool, work = sys.argv[1], sys.argv[2]
runs = 5

def child_cpu(command):
    best = None
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        spent = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
        best = spent if best is None else min(best, spent)
    return best * 1000.0

def file(name):
    return os.path.join(work, name)

cases = [
    ("WebP", "photo.webp", "dwebp", ["dwebp", file("photo.webp"), "-ppm", "-o", "/dev/null"],
     ["dwebp", file("photo.webp"), "-yuv", "-o", "/dev/null"]),
    ("AVIF", "photo.avif", "avifdec", ["avifdec", "--png-compress", "0", file("photo.avif"), file("peer.png")],
     ["avifdec", file("photo.avif"), file("peer.y4m")]),
    ("HEIC", "photo.heic", "heif-convert", ["heif-convert", file("photo.heic"), file("peer.png")],
     ["heif-convert", file("photo.heic"), file("peer.y4m")]),
]
print(f"photo 4000x3000 decoded, CPU milliseconds, best of {runs}")
print(f"{'format':<6} {'size KB':>8} {'ours':>8} {'peer':>14} {'peer RGB':>9} {'peer YUV':>9} {'ours/RGB':>9} {'ours/YUV':>9}")
for name, picture, peer, rgb_command, yuv_command in cases:
    ours = child_cpu([tool, "info", file(picture)])
    rgb, yuv = child_cpu(rgb_command), child_cpu(yuv_command)
    size = os.path.getsize(file(picture)) // 1024
    print(f"{name:<6} {size:>8} {ours:>8.0f} {peer:>14} {rgb:>9.0f} {yuv:>9.0f} {ours / rgb:>9.2f} {ours / yuv:>9.2f}")
PY
