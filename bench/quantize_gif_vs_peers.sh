#!/usr/bin/env bash
# Median-cut quantization plus GIF encoding of a 12-megapixel photo-like picture: quizmora-img next
# to Pillow's median cut (quantize(256, MEDIANCUT), then GIF save) and ImageMagick's -colors 256,
# in one run on one machine. Prints CPU seconds, the ratio to Pillow and the PSNR of each GIF
# against the original; then the decoding of our GIF, ours against Pillow's.
# Every side starts from the same PNG, so each time includes one PNG decoding, measured apart.
#
#   bench/quantize_gif_vs_peers.sh [build dir with bin/quizmora-img, a Release build]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
tool="$build_dir/bin/quizmora-img"
bench_need "$tool" "target quizmora-img"
bench_workdir

"$python" - "$tool" "$work" <<'PY'
import math, os, resource, subprocess, sys, time
from PIL import Image, ImageChops, ImageFilter

tool, work = sys.argv[1], sys.argv[2]
W, H = 4000, 3000
photo, runs = os.path.join(work, "photo.png"), 3

# Smooth light, soft shapes and sensor noise: about a million distinct colours, like a photo.
def channel(base, sigma):
    return ImageChops.add(base, Image.effect_noise((W, H), sigma), 1.0, -128)
red = Image.linear_gradient("L").resize((W, H)).rotate(30, expand=False)
green = Image.radial_gradient("L").resize((W, H))
blue = Image.effect_noise((W // 16, H // 16), 90).filter(ImageFilter.GaussianBlur(3)).resize((W, H), Image.BICUBIC)
Image.merge("RGB", [channel(red, 10), channel(green, 10), channel(blue, 10)]).save(photo, compress_level=1)
original = Image.open(photo).convert("RGB")

def child_cpu(command):
    best = None
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        spent = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
        best = spent if best is None else min(best, spent)
    return best

def own_cpu(action):
    best = None
    for _ in range(runs):
        start = time.process_time()
        action()
        spent = time.process_time() - start
        best = spent if best is None else min(best, spent)
    return best

def psnr(gif):
    got = Image.open(gif).convert("RGB")
    diff = ImageChops.difference(original, got)
    squares = sum(n * (i % 256) ** 2 for i, n in enumerate(diff.histogram()))
    mse = squares / (3 * W * H)
    return 10 * math.log10(255 * 255 / mse) if mse else float("inf")

ours_gif, pil_gif, im_gif = (os.path.join(work, n) for n in ("ours.gif", "pillow.gif", "magick.gif"))

def pillow_convert():
    image = Image.open(photo)
    image.quantize(256, method=Image.Quantize.MEDIANCUT).save(pil_gif)

rows = [
    ("quizmora-img", child_cpu([tool, "convert", photo, ours_gif]), child_cpu([tool, "info", photo]), ours_gif),
    ("Pillow MEDIANCUT", own_cpu(pillow_convert), own_cpu(lambda: Image.open(photo).load()), pil_gif),
    ("ImageMagick -colors 256", child_cpu(["convert-im6.q16", photo, "-colors", "256", im_gif]),
     child_cpu(["convert-im6.q16", photo, "null:"]), im_gif),
]
pillow_total = rows[1][1] - rows[1][2]
print(f"{W}x{H} photo-like PNG -> 256-colour GIF, best of {runs}, CPU seconds (PNG decoding apart)")
print(f"{'':24} {'total':>7} {'PNG dec':>8} {'quant+GIF':>10} {'vs Pillow':>10} {'PSNR dB':>8}")
for name, total, decode, gif in rows:
    work_time = total - decode
    print(f"{name:24} {total:7.2f} {decode:8.2f} {work_time:10.2f} {work_time / pillow_total:10.2f} {psnr(gif):8.2f}")

ours_decode = child_cpu([tool, "info", ours_gif])
pillow_decode = own_cpu(lambda: Image.open(ours_gif).load())
print(f"GIF decoding of our GIF: quizmora-img {ours_decode:.2f} s, Pillow {pillow_decode:.2f} s, "
      f"ratio {ours_decode / pillow_decode:.2f}")
PY
