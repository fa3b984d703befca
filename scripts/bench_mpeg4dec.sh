#!/usr/bin/env bash
# Decoding speed of the MPEG-4 sample decoder: a 1280x720 MPEG-4 ASP stream made by
# ffmpeg's mpeg4 encoder (4 Mbit/s, B-VOPs, four vectors) from a synthetic source;
# the PSNR of kvnvc-mpeg4dec's pictures against ffmpeg's, and the CPU time of
# both (ffmpeg single-threaded; best of three runs).
#   scripts/bench_mpeg4dec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/decoder_bench.sh
decoder_bench kvnvc-mpeg4dec mpeg4dec m4v "${2:-300}" "${1:-build}" -c:v mpeg4 -b:v 4M -bf 2 -g 250 -flags +mv4 -f m4v
