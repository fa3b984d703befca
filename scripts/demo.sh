#!/usr/bin/env bash
# Builds the library and runs the demos: kvnvc-demo (motion search and
# compensation through the block layer), then kvnvc-h264dec decoding the sample
# H.264 stream (per-frame MD5s, speed, comparison with ffmpeg when installed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kvnvc-demo kvnvc-h264dec
build/apps/demo/kvnvc-demo
scripts/h264dec_demo.sh "$@"
