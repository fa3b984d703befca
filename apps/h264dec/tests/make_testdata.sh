#!/usr/bin/env bash
# Regenerates the committed sample streams in ../testdata and their per-frame
# MD5s (from ffmpeg's decode). Needs x264 and ffmpeg; run by hand.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$here/../testdata
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mk() {  # name size pixfmt csp frames x264-options (with --no-cabac or --cabac)...
  local name=$1 size=$2 fmt=$3 csp=$4 n=$5; shift 5
  ffmpeg -v error -y -f lavfi -i "testsrc2=size=$size:rate=25" -frames:v "$n" -pix_fmt "$fmt" -f rawvideo "$tmp/src.yuv"
  x264 --quiet --no-progress --input-csp "$csp" --input-res "$size" --fps 25 "$@" -o "$out/$name.264" "$tmp/src.yuv"
  ffmpeg -v error -y -i "$out/$name.264" -f rawvideo -fps_mode passthrough "$tmp/ref.yuv"
  local fsize=$(( $(stat -c %s "$tmp/ref.yuv") / n ))
  : >"$out/$name.md5"
  for ((i = 0; i < n; i++)); do
    dd if="$tmp/ref.yuv" bs="$fsize" skip="$i" count=1 status=none | md5sum | cut -d' ' -f1 >>"$out/$name.md5"
  done
}
mk high_176x144 176x144 yuv420p i420 12 --no-cabac --profile high --bframes 3 --b-pyramid normal --ref 3 --weightp 2 \
  --slices 2 --partitions all --qp 30
mk high422_10bit_64x48 64x48 yuv422p i422 6 --no-cabac --profile high422 --output-csp i422 --output-depth 10 --bframes 2 \
  --weightp 2 --qp 24
mk cabac_high_128x96 128x96 yuv420p i420 8 --cabac --profile high --bframes 3 --b-pyramid normal --ref 3 \
  --weightp 2 --weightb --slices 2 --partitions all --8x8dct --qp 32
mk cabac_high422_10bit_64x48 64x48 yuv422p i422 5 --cabac --profile high422 --output-csp i422 --output-depth 10 \
  --bframes 2 --direct temporal --qp 26
