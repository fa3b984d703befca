#!/usr/bin/env bash
# Quality and speed of the sample encoder next to x264: a 1280x720 synthetic
# source encoded at QP 22, 27, 32, 37 by kvnvc-h264enc and by
# `x264 --preset veryfast --threads 1 --bframes 0 --ipratio 1` at the same QP
# (every picture at that QP, as in kvnvc-h264enc); bitrate,
# PSNR (ffmpeg's psnr filter, the average over Y, Cb, Cr) and pictures per
# second of each. x264 gets the same entropy coder and transform sizes
# (--no-cabac without --cabac, --no-8x8dct without --8x8dct). Every
# kvnvc-h264enc stream is also checked to decode in ffmpeg to its own
# reconstruction.
#   scripts/h264enc_quality.sh [build-dir] [frames] [encoder options...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
frames=${2:-60}
shift $(($# < 2 ? $# : 2))
opts=("$@")
scripts/deps.sh x264 ffmpeg
if [ ! -x "$build/apps/h264enc/kvnvc-h264enc" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target kvnvc-h264enc
fi
enc=$build/apps/h264enc/kvnvc-h264enc
work=$build/h264enc-quality
mkdir -p "$work"
src=$work/src_$frames.y4m
[ -s "$src" ] || ffmpeg -v error -f lavfi -i "testsrc2=size=1280x720:rate=30" -frames:v "$frames" -pix_fmt yuv420p "$src"
raw=$work/src_$frames.yuv
[ -s "$raw" ] || ffmpeg -v error -i "$src" -f rawvideo "$raw"

psnr() {  # stream -> average PSNR over all planes, picture by picture against the source
  ffmpeg -v error -y -i "$1" -f rawvideo -pix_fmt yuv420p "$work/dec.yuv"
  ffmpeg -v info -f rawvideo -s 1280x720 -pix_fmt yuv420p -i "$work/dec.yuv" -f rawvideo -s 1280x720 \
    -pix_fmt yuv420p -i "$raw" -lavfi psnr -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -1
}
kbps() { echo "scale=1; $(stat -c %s "$1") * 8 * 30 / $frames / 1000" | bc; }
x264_opts=(--no-cabac --no-8x8dct)
for o in "${opts[@]}"; do
  case $o in
    --cabac) x264_opts=("${x264_opts[@]/--no-cabac/}") ;;
    --8x8dct) x264_opts=("${x264_opts[@]/--no-8x8dct/}") ;;
  esac
done
printf "%4s | %12s %8s %8s | %12s %8s %8s\n" qp "kvnVC kbit/s" "PSNR" "fps" "x264 kbit/s" "PSNR" "fps"
for qp in 22 27 32 37; do
  t0=$(date +%s.%N)
  "$enc" "$src" -o "$work/kvn_$qp.264" --recon "$work/kvn_$qp.yuv" --qp "$qp" "${opts[@]}" --quiet
  t1=$(date +%s.%N)
  x264 --quiet --no-progress --preset veryfast --threads 1 --bframes 0 --ipratio 1 --qp "$qp" ${x264_opts[@]} \
    -o "$work/x264_$qp.264" "$src" 2>/dev/null
  t2=$(date +%s.%N)
  ffmpeg -v error -i "$work/kvn_$qp.264" -f rawvideo -pix_fmt yuv420p - | cmp -s - "$work/kvn_$qp.yuv" ||
    echo "qp $qp: kvnvc-h264enc's stream does not decode to its reconstruction" >&2
  printf "%4s | %12s %8s %8.1f | %12s %8s %8.1f\n" "$qp" "$(kbps "$work/kvn_$qp.264")" "$(psnr "$work/kvn_$qp.264")" \
    "$(echo "$frames / ($t1 - $t0)" | bc -l)" "$(kbps "$work/x264_$qp.264")" "$(psnr "$work/x264_$qp.264")" \
    "$(echo "$frames / ($t2 - $t1)" | bc -l)"
done
