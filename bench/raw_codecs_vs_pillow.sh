#!/usr/bin/env bash
# Times the library's 24-bit BMP decoding and encoding and its P6 decoding of a 4000x3000 picture
# next to Pillow's on the same files (written into the temporary folder by the benchmark), in one
# run on one machine, and prints the ratios. Both sides are measured in CPU time of the process;
# Pillow's decoding counts until the pixels are loaded.
#
#   bench/raw_codecs_vs_pillow.sh [build dir with -DQUIZMORA_BENCH=ON -DCMAKE_BUILD_TYPE=Release]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
bench="$build_dir/bench/bench_imaging_raw_codecs"
bench_need "$bench" "target bench_imaging_raw_codecs"

ours=$("$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); print $1, $4 }')

tmp=$("$python" -c 'import tempfile; print(tempfile.gettempdir())')
pillow=$("$python" - "$tmp" <<'PY'
import os, statistics, sys, time
from PIL import Image

folder = sys.argv[1]
bmp = os.path.join(folder, "quizmora-bench-12mp.bmp")
ppm = os.path.join(folder, "quizmora-bench-12mp.pnm")

def median_of(action, runs=5):
    times = []
    for _ in range(runs):
        start = time.process_time()
        action()
        times.append((time.process_time() - start) * 1000.0)
    return statistics.median(times)

def decode(path):
    with Image.open(path) as image:
        image.load()

picture = Image.open(bmp)
picture.load()
print("BM_BmpDecode24", median_of(lambda: decode(bmp)))
print("BM_BmpEncode24", median_of(lambda: picture.save(os.path.join(folder, "quizmora-bench-pillow.bmp"))))
print("BM_PnmDecodeP6", median_of(lambda: decode(ppm)))
PY
)

echo "picture 4000x3000, 24 bits, CPU milliseconds (median of 5 runs each)"
printf '%-20s %10s %10s %8s\n' "case" "ours" "Pillow" "ratio"
while read -r name ms; do
  theirs=$(awk -v n="$name" '$1 == n { print $2 }' <<<"$pillow")
  awk -v n="$name" -v a="$ms" -v b="$theirs" \
    'BEGIN { printf "%-20s %10.2f %10.2f %8.2f\n", n, a, b, a / b }'
done <<<"$ours"
