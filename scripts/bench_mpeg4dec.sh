#!/usr/bin/env bash
# Decoding speed of the MPEG-4 sample decoder: a 1280x720 MPEG-4 ASP stream made by
# ffmpeg's mpeg4 encoder (4 Mbit/s, B-VOPs, four vectors) from a synthetic source;
# the PSNR of kvnvc-mpeg4dec's pictures against ffmpeg's, and the CPU time of
# both (ffmpeg single-threaded; best of three runs).
#   scripts/bench_mpeg4dec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/cpu_time.sh
build=${1:-build}
frames=${2:-300}
scripts/deps.sh ffmpeg
if [ ! -x "$build/apps/mpeg4dec/kvnvc-mpeg4dec" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target kvnvc-mpeg4dec
fi
dec=$build/apps/mpeg4dec/kvnvc-mpeg4dec
work=$build/bench-mpeg4dec
mkdir -p "$work"
stream=$work/hd720_$frames.m4v
[ -s "$stream" ] || ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=25 -frames:v "$frames" -c:v mpeg4 \
  -b:v 4M -bf 2 -g 250 -flags +mv4 -f m4v "$stream"
"$dec" --quiet "$stream" "$work/ours.yuv"
ffmpeg -v error -y -i "$stream" -fps_mode passthrough -f rawvideo "$work/ffmpeg.yuv"
echo "PSNR against ffmpeg: $(ffmpeg -f rawvideo -s 1280x720 -pix_fmt yuv420p -i "$work/ours.yuv" -f rawvideo \
  -s 1280x720 -pix_fmt yuv420p -i "$work/ffmpeg.yuv" -lavfi psnr -f null - 2>&1 | grep -o 'average:[0-9.inf]*')"
rm -f "$work/ours.yuv" "$work/ffmpeg.yuv"
ours=$(cpu_time "$dec" --quiet "$stream" /dev/null)
ref=$(cpu_time ffmpeg -v error -threads 1 -i "$stream" -f null -)
awk -v n="$frames" -v a="$ours" -v b="$ref" 'BEGIN {
  printf "kvnvc-mpeg4dec     %6.3f s  %7.1f fps\n", a, n / a
  printf "ffmpeg -threads 1  %6.3f s  %7.1f fps\n", b, n / b
  printf "time ratio kvnvc-mpeg4dec / ffmpeg: %.2f\n", a / b }'
