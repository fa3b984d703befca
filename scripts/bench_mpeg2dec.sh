#!/usr/bin/env bash
# Decoding speed of the MPEG-2 sample decoder: a 1280x720 stream made by
# ffmpeg's mpeg2video encoder (8 Mbit/s, B pictures) from a synthetic source;
# the PSNR of kvnvc-mpeg2dec's pictures against ffmpeg's, and the CPU time of
# both (ffmpeg single-threaded; best of three runs).
#   scripts/bench_mpeg2dec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/cpu_time.sh
build=${1:-build}
frames=${2:-300}
scripts/deps.sh ffmpeg
if [ ! -x "$build/apps/mpeg2dec/kvnvc-mpeg2dec" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target kvnvc-mpeg2dec
fi
dec=$build/apps/mpeg2dec/kvnvc-mpeg2dec
work=$build/bench-mpeg2dec
mkdir -p "$work"
stream=$work/hd720_$frames.m2v
[ -s "$stream" ] || ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=25 -frames:v "$frames" -c:v mpeg2video \
  -b:v 8M -bf 2 -g 15 -f mpeg2video "$stream"
"$dec" --quiet "$stream" "$work/ours.yuv"
ffmpeg -v error -y -i "$stream" -fps_mode passthrough -f rawvideo "$work/ffmpeg.yuv"
echo "PSNR against ffmpeg: $(ffmpeg -f rawvideo -s 1280x720 -pix_fmt yuv420p -i "$work/ours.yuv" -f rawvideo \
  -s 1280x720 -pix_fmt yuv420p -i "$work/ffmpeg.yuv" -lavfi psnr -f null - 2>&1 | grep -o 'average:[0-9.inf]*')"
rm -f "$work/ours.yuv" "$work/ffmpeg.yuv"
ours=$(cpu_time "$dec" --quiet "$stream" /dev/null)
ref=$(cpu_time ffmpeg -v error -threads 1 -i "$stream" -f null -)
awk -v n="$frames" -v a="$ours" -v b="$ref" 'BEGIN {
  printf "kvnvc-mpeg2dec     %6.3f s  %7.1f fps\n", a, n / a
  printf "ffmpeg -threads 1  %6.3f s  %7.1f fps\n", b, n / b
  printf "time ratio kvnvc-mpeg2dec / ffmpeg: %.2f\n", a / b }'
