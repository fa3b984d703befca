#!/usr/bin/env bash
# Conformance of kvnvc-dvdec: ffmpeg's dvvideo encoder makes DIF streams from
# synthetic sources in every format the decoder reads (625/50 4:2:0, 525/60
# 4:1:1, 625/50 4:1:1, 50 Mbit/s 4:2:2 of both systems), progressive and
# DVCPRO HD (1280 x 1080 at 29.97 and 1440 x 1080 at 25 frames/s, 960 x 720
# at 59.94 and 50), progressive and interlaced (-flags +ildct on sources whose
# fields differ, so that 2-4-8 blocks and DV100 field macroblocks occur),
# clean and noisy (coarse quantisation, class 3, bits moved between blocks and
# macroblocks); kvnvc-dvdec and ffmpeg decode each. The check: every picture
# at least 45 dB PSNR (Y, Cb and Cr) against ffmpeg's, and the PSNR against
# the source within 0.1 dB of ffmpeg's. A stream whose video type the decoder
# does not know is refused with "unsupported:" and exit status 3.
#   conformance.sh DECODER WORKDIR
# Exit 0 all passed, 1 a failure, 77 ffmpeg unavailable (skipped).
set -uo pipefail
. "$(dirname "$0")/../../common/tests/conformance_setup.sh" "$1" "$2" ffmpeg

frames=3
# name | size | pixel format | rate | lavfi source | encoder options
cases=(
  "pal420|720x576|yuv420p|25|testsrc2=size=720x576:rate=25|"
  "pal420_ildct|720x576|yuv420p|25|testsrc2=size=720x288:rate=50,tinterlace=merge|-flags +ildct"
  "pal420_noise|720x576|yuv420p|25|testsrc2=size=720x576:rate=25,noise=alls=40:allf=t+u|"
  "ntsc411|720x480|yuv411p|30000/1001|testsrc2=size=720x480:rate=30000/1001|"
  "ntsc411_ildct|720x480|yuv411p|30000/1001|mandelbrot=size=720x240:rate=60000/1001,tinterlace=merge|-flags +ildct"
  "ntsc411_noise|720x480|yuv411p|30000/1001|testsrc2=size=720x480:rate=30000/1001,noise=alls=40:allf=t+u|-flags +ildct"
  "pal411|720x576|yuv411p|25|testsrc2=size=720x576:rate=25|"
  "pal422|720x576|yuv422p|25|testsrc2=size=720x576:rate=25,noise=alls=20:allf=t+u|"
  "ntsc422_ildct|720x480|yuv422p|30000/1001|testsrc2=size=720x240:rate=60000/1001,tinterlace=merge|-flags +ildct"
  "hd1080i60_ildct|1280x1080|yuv422p|30000/1001|testsrc2=size=1280x540:rate=60000/1001,tinterlace=merge|-flags +ildct"
  "hd1080i50_noise|1440x1080|yuv422p|25|testsrc2=size=1440x1080:rate=25,noise=alls=40:allf=t+u|"
  "hd720p60|960x720|yuv422p|60000/1001|testsrc2=size=960x720:rate=60000/1001|"
  "hd720p50_noise|960x720|yuv422p|50|mandelbrot=size=960x720:rate=50,noise=alls=30:allf=t+u|"
)

fail=0
for c in "${cases[@]}"; do
  IFS='|' read -r name size pixfmt rate graph opts <<<"$c"
  w=${size%x*} h=${size#*x} chroma=${pixfmt:3:3}
  [ -s "$name.src" ] || ffmpeg -v error -y -f lavfi -i "$graph" -frames:v $frames -pix_fmt "$pixfmt" -f rawvideo "$name.src"
  # shellcheck disable=SC2086
  if ! ffmpeg -v error -y -f rawvideo -pix_fmt "$pixfmt" -s "$size" -r "$rate" -i "$name.src" $opts -c:v dvvideo \
    -f dv "$name.dv"; then
    echo "SKIP $name: ffmpeg cannot encode it"
    continue
  fi
  ffmpeg -v quiet -y -i "$name.dv" -f rawvideo -pix_fmt "$pixfmt" ff.yuv
  if ! "$dec" --quiet "$name.dv" kvn.yuv; then
    echo "FAIL $name: kvnvc-dvdec"
    fail=1
    continue
  fi
  vsff=$(python3 "$common/compare.py" --chroma "$chroma" "$w" "$h" kvn.yuv ff.yuv)
  kvnSrc=$(python3 "$common/compare.py" --prefix --chroma "$chroma" "$w" "$h" kvn.yuv "$name.src" | awk '{print $5}')
  ffSrc=$(python3 "$common/compare.py" --prefix --chroma "$chroma" "$w" "$h" ff.yuv "$name.src" | awk '{print $5}')
  verdict=ok
  echo "$vsff" | awk -v n=$frames '{exit !(NF == 5 && $1 == n && $2 >= 45 && $3 >= 45 && $4 >= 45)}' || verdict=FAIL
  awk -v a="$kvnSrc" -v b="$ffSrc" 'BEGIN {d = a - b; exit !(d <= 0.1 && d >= -0.1)}' || verdict=FAIL
  echo "$verdict $name: against ffmpeg $vsff | source $kvnSrc (ffmpeg $ffSrc)"
  [ "$verdict" = ok ] || fail=1
done

# An unknown video type (a DVCPRO HD stream with its VSC pack's type changed
# to 0x1f): refused.
if [ -s hd720p60.dv ]; then
  python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[5 * 80 + 48 + 3] |= 0x1f
open(sys.argv[2], "wb").write(d)' hd720p60.dv odd.dv
  msg=$("$dec" --quiet odd.dv odd.yuv 2>&1)
  status=$?
  if [ "$status" -eq 3 ] && echo "$msg" | grep -q "unsupported: DV video type 31"; then
    echo "ok refused: $msg"
  else
    echo "FAIL refusal of an unknown video type: status $status, \"$msg\""
    fail=1
  fi
fi
exit $fail
