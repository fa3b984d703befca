#!/usr/bin/env bash
# Decoding speed of the MPEG-2 sample decoder: a 1280x720 stream made by
# ffmpeg's mpeg2video encoder (8 Mbit/s, B pictures) from a synthetic source;
# the PSNR of kvnvc-mpeg2dec's pictures against ffmpeg's, and the CPU time of
# both (ffmpeg single-threaded; best of three runs).
#   scripts/bench_mpeg2dec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/decoder_bench.sh
decoder_bench kvnvc-mpeg2dec mpeg2dec m2v "${2:-300}" "${1:-build}" -c:v mpeg2video -b:v 8M -bf 2 -g 15 -f mpeg2video
