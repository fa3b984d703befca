#!/usr/bin/env bash
# Conformance of kvnvc-h264enc: encodes synthetic sources over a matrix of
# options (CAVLC and CABAC, 4x4 and 8x8 transforms, intra only and I/P, QP
# 0..51, loop filter on and off, 1 and 3 slices, 1 to 4 reference pictures, a
# size that is not a multiple of 16) and requires that ffmpeg (with
# -xerror, no message) decodes every stream to exactly the encoder's --recon
# output, and kvnvc-h264dec every CAVLC stream.
#   conformance.sh ENCODER DECODER WORKDIR
# Exit 0 all passed, 1 a mismatch, 77 ffmpeg unavailable (skipped).
set -uo pipefail
enc=$1 dec=$2 work=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
command -v ffmpeg >/dev/null || "$root/scripts/deps.sh" ffmpeg >/dev/null 2>&1 || true
if ! command -v ffmpeg >/dev/null; then
  echo "SKIP: ffmpeg not available"
  exit 77
fi
mkdir -p "$work" && cd "$work" || exit 1

src() {  # name size frames lavfi-graph
  [ -s "$1.y4m" ] || ffmpeg -v error -y -f lavfi -i "$4" -frames:v "$3" -pix_fmt yuv420p -s "$2" "$1.y4m"
}
src moving 176x144 8 "testsrc2=size=176x144:rate=25"
src mandel 200x120 6 "mandelbrot=size=200x120:rate=25"  # not a multiple of 16: cropping in the SPS
src noise 64x48 6 "testsrc2=size=64x48:rate=25,noise=alls=40:allf=t+u"

fail=0 n=0
for s in moving mandel noise; do
  for qp in 0 10 26 40 51; do
    for opts in "--keyint 1" "--keyint 4 --slices 3" "--keyint 30 --no-deblock --ref 2" \
      "--cabac --keyint 1 --no-deblock --slices 3" "--cabac --keyint 4 --ref 3" \
      "--cabac --keyint 30 --no-deblock --slices 3 --ref 4" "--8x8dct --keyint 1 --slices 3" \
      "--8x8dct --keyint 4 --no-deblock --ref 2" "--cabac --8x8dct --keyint 1" \
      "--cabac --8x8dct --keyint 30 --slices 3 --ref 3"; do
      name="$s qp$qp $opts"
      # shellcheck disable=SC2086
      if ! "$enc" "$s.y4m" -o out.264 --recon rec.yuv --qp "$qp" $opts --quiet; then
        echo "FAIL $name: encoder"; fail=1; continue
      fi
      n=$((n + 1))
      if ! ffmpeg -v error -xerror -y -i out.264 -f rawvideo -pix_fmt yuv420p ff.yuv 2>err.txt || [ -s err.txt ]; then
        echo "FAIL $name: ffmpeg: $(head -c 300 err.txt)"; fail=1; continue
      fi
      cmp -s ff.yuv rec.yuv || { echo "FAIL $name: ffmpeg's pictures differ from the reconstruction"; fail=1; }
      case "$opts" in *--cabac*) continue ;; esac  # kvnvc-h264dec reads CAVLC only
      "$dec" --quiet out.264 kvn.yuv || { echo "FAIL $name: kvnvc-h264dec"; fail=1; continue; }
      cmp -s kvn.yuv rec.yuv || { echo "FAIL $name: kvnvc-h264dec's pictures differ from the reconstruction"; fail=1; }
    done
  done
done
echo "$n streams checked"
exit $fail
