#!/usr/bin/env bash
# Builds kvnvc-h264dec, decodes the sample stream (or the stream given),
# prints one MD5 per frame and the decoding speed, and compares the frames
# with ffmpeg's decode when ffmpeg is installed.
#   [BUILD_DIR=build] scripts/h264dec_demo.sh [stream.264]
set -euo pipefail
cd "$(dirname "$0")/.."
stream=${1:-apps/h264dec/testdata/high_176x144.264}
build=${BUILD_DIR:-build}
scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kvnvc-h264dec >/dev/null
dec=$build/apps/h264dec/kvnvc-h264dec
"$dec" --md5 "$stream" | tee "$build/h264dec_demo.md5"
if command -v ffmpeg >/dev/null; then
  if ffmpeg -v error -i "$stream" -f framemd5 - | awk -F, '!/^#/ {gsub(/ /, "", $6); print $6}' |
      cmp -s - "$build/h264dec_demo.md5"; then
    echo "ffmpeg: identical frames"
  else
    echo "ffmpeg: frames DIFFER"; exit 1
  fi
else
  echo "ffmpeg not installed: comparison skipped"
fi
