#!/usr/bin/env bash
# Times the library's smooth resampling of a 4000x3000 picture to 1920x1080 next to Pillow's box
# reduction of a picture of the same size, in one run on one machine, and prints the ratios.
# Both sides are measured in CPU time of the process, so other load on the machine counts less.
#
#   bench/resample_vs_pillow.sh [build dir with -DQUIZMORA_BENCH=ON -DCMAKE_BUILD_TYPE=Release]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}" build-img-bench
bench="$build_dir/bench/bench_imaging_drawing"
bench_need "$bench" "target bench_imaging_drawing"

ours=$("$bench" --benchmark_filter='BM_ResampleSmooth(24|32Opaque)$' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); print $1, $4 }')

pillow=$("$python" - <<'PY'
import random, time
from PIL import Image

def best_of(image, runs=5):
    best = None
    for _ in range(runs):
        start = time.process_time()
        image.resize((1920, 1080), Image.BOX)
        elapsed = (time.process_time() - start) * 1000.0
        best = elapsed if best is None else min(best, elapsed)
    return best

random.seed(12345)
data = random.randbytes(4000 * 3000 * 4)
rgb = Image.frombytes("RGB", (4000, 3000), data[: 4000 * 3000 * 3])
rgba = Image.frombytes("RGBX", (4000, 3000), data).convert("RGB").convert("RGBA")
print("BM_ResampleSmooth24", best_of(rgb))
print("BM_ResampleSmooth32Opaque", best_of(rgba))
PY
)

echo "picture 4000x3000 -> 1920x1080, smooth (box) filter, CPU milliseconds"
printf '%-28s %10s %10s %8s\n' "case" "ours" "Pillow" "ratio"
while read -r name ms; do
  theirs=$(awk -v n="$name" '$1 == n { print $2 }' <<<"$pillow")
  awk -v n="$name" -v a="$ms" -v b="$theirs" \
    'BEGIN { printf "%-28s %10.2f %10.2f %8.2f\n", n, a, b, a / b }'
done <<<"$ours"
