# Sourced by the sample decoders' benchmark scripts: decoder_bench APP DIR EXT
# FRAMES BUILD ENCODER-OPTIONS... makes a 1280x720 (or $BENCH_SIZE, with
# $BENCH_PIX_FMT and $BENCH_RATE) stream of FRAMES pictures
# with ffmpeg (testsrc2 and the given encoder options, cached under BUILD),
# prints the PSNR of BUILD/apps/DIR/APP's pictures against ffmpeg's, and the
# CPU time of both (ffmpeg single-threaded; best of three runs).
source "$(dirname "${BASH_SOURCE[0]}")/cpu_time.sh"
decoder_bench() {
  local app=$1 dir=$2 ext=$3 frames=$4 build=$5
  shift 5
  scripts/deps.sh ffmpeg
  if [ ! -x "$build/apps/$dir/$app" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build" --target "$app"
  fi
  local dec=$build/apps/$dir/$app work=$build/bench-$dir size=${BENCH_SIZE:-1280x720}
  local pixfmt=${BENCH_PIX_FMT:-yuv420p} rate=${BENCH_RATE:-25}
  mkdir -p "$work"
  local stream=$work/${size}_$frames.$ext
  [ -s "$stream" ] || ffmpeg -v error -f lavfi -i "testsrc2=size=$size:rate=$rate" -frames:v "$frames" -pix_fmt "$pixfmt" "$@" "$stream"
  "$dec" --quiet "$stream" "$work/ours.yuv"
  ffmpeg -v error -y -i "$stream" -fps_mode passthrough -f rawvideo -pix_fmt "$pixfmt" "$work/ffmpeg.yuv"
  echo "PSNR against ffmpeg: $(ffmpeg -f rawvideo -s "$size" -pix_fmt "$pixfmt" -i "$work/ours.yuv" -f rawvideo \
    -s "$size" -pix_fmt "$pixfmt" -i "$work/ffmpeg.yuv" -lavfi psnr -f null - 2>&1 | grep -o 'average:[0-9.inf]*')"
  rm -f "$work/ours.yuv" "$work/ffmpeg.yuv"
  local ours ref
  ours=$(cpu_time "$dec" --quiet "$stream" /dev/null)
  ref=$(cpu_time ffmpeg -v error -threads 1 -i "$stream" -f null -)
  awk -v app="$app" -v n="$frames" -v a="$ours" -v b="$ref" 'BEGIN {
    printf "%-18s %6.3f s  %7.1f fps\n", app, a, n / a
    printf "ffmpeg -threads 1  %6.3f s  %7.1f fps\n", b, n / b
    printf "time ratio %s / ffmpeg: %.2f\n", app, a / b }'
}
