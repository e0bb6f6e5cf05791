#!/usr/bin/env bash
# Times the library's TIFF decoding of a 12-megapixel photograph (4000x3000, RGB) compressed with
# LZW, with PackBits and uncompressed, and its uncompressed encoding, next to libtiff's tiffcp and
# Pillow on the same files, in one run on one machine, and prints the ratios. Everything is CPU
# time of the process (ours: median of 5 runs; peers: best of 5), so other load counts less.
#
# tiffcp has no decode-only mode: "decode" is `tiffcp -c none X.tif out.tif`, which also writes the
# uncompressed copy, and its encode figure is that copy of the uncompressed file, compared with our
# decoding plus encoding of it. Pillow's figures are its pure decode (load) and encode (save).
#
#   bench/tiff_vs_tiffcp.sh [build dir with -DQUIZMORA_BENCH=ON -DCMAKE_BUILD_TYPE=Release]
set -euo pipefail

source "$(dirname "$0")/lib/peer_bench.sh"
bench_setup "${1:-}"
bench="$build_dir/bench/bench_imaging_tiff_codec"
bench_need "$bench" "target bench_imaging_tiff_codec"
bench_workdir

# A photograph-like picture: smooth colour areas with fine grain, so the compressors work as on a
# camera picture (neither pure noise nor flat areas).
"$python" - "$work" <<'PY'
import random, sys
from PIL import Image
random.seed(4711)
w, h = 4000, 3000
base = Image.frombytes("RGB", (80, 60), random.randbytes(80 * 60 * 3)).resize((w, h), Image.BICUBIC)
grain = Image.effect_noise((w, h), 24).convert("RGB")
Image.blend(base, grain, 0.06).save(sys.argv[1] + "/none.tif")
PY
tiffcp -c lzw "$work/none.tif" "$work/lzw.tif"
tiffcp -c packbits "$work/none.tif" "$work/packbits.tif"

ours=$(QUIZMORA_TIFF_BENCH_DIR="$work" "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); print $1, $4 }')

peers=$("$python" - "$work" <<'PY'
import os, resource, subprocess, sys, time
from PIL import Image
work = sys.argv[1]

def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime

def best_of(run, runs=5):
    best = None
    for _ in range(runs):
        elapsed = run()
        best = elapsed if best is None else min(best, elapsed)
    return best * 1000.0

def tiffcp(name):
    def run():
        start = children_cpu()
        subprocess.run(["tiffcp", "-c", "none", f"{work}/{name}.tif", f"{work}/tiffcp-out.tif"], check=True)
        return children_cpu() - start
    return best_of(run)

def pillow_load(name):
    def run():
        start = time.process_time()
        Image.open(f"{work}/{name}.tif").load()
        return time.process_time() - start
    return best_of(run)

picture = Image.open(f"{work}/none.tif")
picture.load()
def pillow_save():
    start = time.process_time()
    picture.save(f"{work}/pillow-out.tif")
    return time.process_time() - start

for case, name in (("TiffDecode/Lzw", "lzw"), ("TiffDecode/PackBits", "packbits"), ("TiffDecode/None", "none")):
    print(case, tiffcp(name), pillow_load(name))
print("TiffEncode", tiffcp("none"), best_of(pillow_save))
PY
)

echo "TIFF of 4000x3000 RGB ($(du -m "$work/lzw.tif" | cut -f1) MB LZW, $(du -m "$work/packbits.tif" | cut -f1) MB PackBits, $(du -m "$work/none.tif" | cut -f1) MB uncompressed), CPU milliseconds"
printf '%-22s %9s %9s %9s %10s %10s\n' "case" "ours" "tiffcp" "Pillow" "ours/tcp" "ours/Pil"
decode_none=$(awk '$1 == "TiffDecode/None" { print $2 }' <<<"$ours")
while read -r name ms; do
  read -r _ tcp pil < <(awk -v n="$name" '$1 == n' <<<"$peers")
  # tiffcp's "encode" is a copy of the uncompressed file: it stands beside our decode plus encode.
  mine_vs_tcp=$ms
  [[ $name == TiffEncode ]] && mine_vs_tcp=$(awk -v a="$ms" -v b="$decode_none" 'BEGIN { print a + b }')
  awk -v n="$name" -v a="$ms" -v t="$tcp" -v p="$pil" -v at="$mine_vs_tcp" \
    'BEGIN { printf "%-22s %9.1f %9.1f %9.1f %10.2f %10.2f\n", n, a, t, p, at / t, a / p }'
done <<<"$ours"
