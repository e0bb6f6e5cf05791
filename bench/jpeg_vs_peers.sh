#!/usr/bin/env bash
# Times the library's JPEG decoding and encoding (quality 75) of one 12-megapixel photo next to
# djpeg, cjpeg and Pillow on the same photo, in one run on one machine, and prints the ratios to
# the faster peer. Everything is CPU time of the process (best of five for the peers, the median
# of Google Benchmark's repetitions for ours), so other load on the machine counts less. The peers
# run as programs: djpeg writes its PPM to /dev/null, cjpeg reads the photo's PPM; Pillow decodes
# with load() and encodes into memory.
#
#   bench/jpeg_vs_peers.sh [build dir with -DQUIZMORA_BENCH=ON -DCMAKE_BUILD_TYPE=Release]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
bench="$build_dir/bench/bench_imaging_jpeg_codec"
bench_need "$bench" "target bench_imaging_jpeg_codec"
bench_workdir

# A smooth photo-like picture: colour gradients over the frame with a little sensor noise.
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

ours=$(QUIZMORA_BENCH_JPEG="$work/photo.jpg" "$bench" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/\/iterations:[0-9]+/, "", $1); sub(/_median$/, "", $1); print $1, $4 }')

peers=$("$python" - "$work" <<'PY'
import io, os, resource, subprocess, sys, time
from PIL import Image
work = sys.argv[1]
photo, ppm = os.path.join(work, "photo.jpg"), os.path.join(work, "photo.ppm")

def child_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

def best_of(action, cpu=time.process_time, runs=5):
    best = None
    for _ in range(runs):
        start = cpu()
        action()
        elapsed = (cpu() - start) * 1000.0
        best = elapsed if best is None else min(best, elapsed)
    return best

def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

decoded = Image.open(photo)
decoded.load()
print("BM_JpegDecode djpeg", best_of(lambda: run("djpeg", "-outfile", "/dev/null", photo), child_cpu))
print("BM_JpegDecode Pillow", best_of(lambda: Image.open(photo).load()))
print("BM_JpegEncode cjpeg", best_of(lambda: run("cjpeg", "-quality", "75", "-outfile", "/dev/null", ppm), child_cpu))
print("BM_JpegEncode Pillow", best_of(lambda: decoded.save(io.BytesIO(), "JPEG", quality=75)))
PY
)

echo "photo 4000x3000, JPEG decoding and encoding at quality 75, CPU milliseconds"
printf '%-16s %10s %10s %10s %8s\n' "case" "ours" "djpeg/cjpeg" "Pillow" "ratio"
while read -r name ms; do
  tool=$(awk -v n="$name" '$1 == n && $2 != "Pillow" { print $3 }' <<<"$peers")
  pillow=$(awk -v n="$name" '$1 == n && $2 == "Pillow" { print $3 }' <<<"$peers")
  awk -v n="$name" -v a="$ms" -v t="$tool" -v p="$pillow" \
    'BEGIN { f = t < p ? t : p; printf "%-16s %10.1f %10.1f %10.1f %8.2f\n", n, a, t, p, a / f }'
done <<<"$ours"
