#!/usr/bin/env bash
# Decoding speed of the DV sample decoder: a 720x576 DV25 (625/50 4:2:0)
# stream made by ffmpeg's dvvideo encoder from a synthetic source; the PSNR of
# kvnvc-dvdec's pictures against ffmpeg's, and the CPU time of both (ffmpeg
# single-threaded; best of three runs).
#   scripts/bench_dvdec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/decoder_bench.sh
BENCH_SIZE=720x576 decoder_bench kvnvc-dvdec dvdec dv "${2:-300}" "${1:-build}" -c:v dvvideo -f dv
