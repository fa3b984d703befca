#!/usr/bin/env bash
# Conformance of kvnvc-mpeg2enc: encodes synthetic sources over a matrix of
# options (intra only and I/P, quantiser scale codes 1 to 31, a size that is
# not a multiple of 16) and requires that ffmpeg and libmpeg2's mpeg2dec
# decode every stream without error to within 45 dB PSNR (every picture, Y,
# Cb and Cr) of the encoder's --recon output (their inverse DCTs differ within
# the IEEE 1180 bounds), and kvnvc-mpeg2dec to exactly it.
#   conformance.sh ENCODER DECODER WORKDIR TOOLS-DIR   (TOOLS-DIR: compare.py, pgm2yuv.py)
# Exit 0 all passed, 1 a failure, 77 ffmpeg or mpeg2dec unavailable (skipped).
set -uo pipefail
enc=$1 dec=$2 work=$3 tools=$4
root=$(cd "$(dirname "$0")/../../.." && pwd)
if ! command -v ffmpeg >/dev/null || ! command -v mpeg2dec >/dev/null; then
  "$root/scripts/deps.sh" ffmpeg mpeg2dec >/dev/null 2>&1 || true
fi
if ! command -v ffmpeg >/dev/null || ! command -v mpeg2dec >/dev/null || ! command -v python3 >/dev/null; then
  echo "SKIP: ffmpeg, mpeg2dec or python3 not available"
  exit 77
fi
mkdir -p "$work" && cd "$work" || exit 1

src() {  # name size frames lavfi-graph
  [ -s "$1.y4m" ] || ffmpeg -v error -y -f lavfi -i "$4" -frames:v "$3" -pix_fmt yuv420p -s "$2" "$1.y4m"
}
src moving 176x144 14 "testsrc2=size=176x144:rate=25"
src mandel 200x120 8 "mandelbrot=size=200x120:rate=25"
src noise 64x48 8 "testsrc2=size=64x48:rate=25,noise=alls=40:allf=t+u"
size_of() { case $1 in mandel) echo 200 120 ;; noise) echo 64 48 ;; *) echo 176 144 ;; esac; }

fail=0 n=0
for s in moving mandel noise; do
  read -r w h <<<"$(size_of "$s")"
  for q in 1 4 8 16 31; do
    for opts in "--keyint 1" "--keyint 12" "--keyint 5"; do
      name="$s qscale $q $opts"
      # shellcheck disable=SC2086
      if ! "$enc" "$s.y4m" -o out.m2v --recon rec.yuv --qscale "$q" $opts --quiet; then
        echo "FAIL $name: encoder"; fail=1; continue
      fi
      n=$((n + 1))
      if ! ffmpeg -v error -xerror -y -i out.m2v -fps_mode passthrough -f rawvideo -pix_fmt yuv420p ff.yuv 2>err.txt || [ -s err.txt ]; then
        echo "FAIL $name: ffmpeg: $(head -c 300 err.txt)"; fail=1; continue
      fi
      rm -f ./*.pgm
      mpeg2dec -o pgm out.m2v >/dev/null 2>&1
      # shellcheck disable=SC2046
      python3 "$tools/pgm2yuv.py" "$w" "$h" lm.yuv $(ls ./*.pgm | sort -t/ -k2 -n)
      for d in ff lm; do
        r=$(python3 "$tools/compare.py" "$w" "$h" "$d.yuv" rec.yuv)
        echo "$r" | awk '{exit !(NF == 5 && $2 >= 45 && $3 >= 45 && $4 >= 45)}' ||
          { echo "FAIL $name: $d against the reconstruction: $r"; fail=1; }
      done
      "$dec" --quiet out.m2v kvn.yuv && cmp -s kvn.yuv rec.yuv ||
        { echo "FAIL $name: kvnvc-mpeg2dec's pictures differ from the reconstruction"; fail=1; }
    done
  done
done
echo "$n streams checked"
exit $fail
