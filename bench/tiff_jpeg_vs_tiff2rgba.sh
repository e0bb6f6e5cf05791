#!/usr/bin/env bash
# Times the library's decoding of a 12-megapixel JPEG-compressed TIFF (4000x3000 RGB, made by
# tiffcp -c jpeg, which stores it as YCbCr), which goes through libtiff's RGBA interface, next to
# libtiff's own tiff2rgba and Pillow (which also decodes through libtiff's RGBA interface) on the
# same file, in one run on one machine, and prints the ratios. All are CPU time, best of five: ours
# is the process `quizmora-img info` (load, then print the size, start-up included); tiff2rgba's
# process also writes its uncompressed RGB result (to a file in the same temporary folder), which
# our figure does not include; Pillow's is the pure decode (load) inside its interpreter.
#
#   bench/tiff_jpeg_vs_tiff2rgba.sh [build dir of a Release build, e.g. build/bench]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
tool="$build_dir/bin/quizmora-img"
bench_need "$tool" "target quizmora-img"
bench_workdir

# A photograph-like picture: smooth colour areas with fine grain, as in bench/tiff_vs_tiffcp.sh.
"$python" - "$work" <<'PY'
import random, sys
from PIL import Image
random.seed(4711)
w, h = 4000, 3000
base = Image.frombytes("RGB", (80, 60), random.randbytes(80 * 60 * 3)).resize((w, h), Image.BICUBIC)
grain = Image.effect_noise((w, h), 24).convert("RGB")
Image.blend(base, grain, 0.06).save(sys.argv[1] + "/none.tif")
PY
tiffcp -c jpeg:90 -r 16 "$work/none.tif" "$work/jpeg.tif"

"$python" - "$work" "$tool" <<'PY'
import os, resource, subprocess, sys, time
from PIL import Image
work, tool = sys.argv[1], sys.argv[2]
source = os.path.join(work, "jpeg.tif")

def child_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

def best_of(command, runs=5):
    best = None
    for _ in range(runs):
        start = child_cpu()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        elapsed = (child_cpu() - start) * 1000.0
        best = elapsed if best is None else min(best, elapsed)
    return best

ours = best_of([tool, "info", source])
peer = best_of(["tiff2rgba", "-c", "none", "-n", source, os.path.join(work, "peer.tif")])

def pillow_load():
    start = time.process_time()
    Image.open(source).load()
    return time.process_time() - start
pillow = min(pillow_load() for _ in range(5)) * 1000.0
megabytes = os.path.getsize(source) / 1e6
print(f"JPEG-compressed TIFF of 4000x3000 RGB ({megabytes:.1f} MB), CPU milliseconds, best of 5")
print(f"{'case':<18} {'ours':>8} {'tiff2rgba':>10} {'Pillow':>8} {'ours/t2r':>9} {'ours/Pil':>9}")
print(f"{'TiffDecode/Jpeg':<18} {ours:8.1f} {peer:10.1f} {pillow:8.1f} {ours / peer:9.2f} {ours / pillow:9.2f}")
PY
