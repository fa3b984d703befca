#!/usr/bin/env bash
# Conformance of kvnvc-mpeg2dec: ffmpeg's mpeg1video and mpeg2video encoders
# make streams from synthetic sources over a matrix of options (B pictures,
# field DCT and field motion, alternate scan, intra VLC format, non-linear
# quantiser scale, custom matrices, intra DC precision, quantiser scales 1 to
# 31, a size that is not a multiple of 16); kvnvc-mpeg2dec, ffmpeg and
# libmpeg2's mpeg2dec decode each. The inverse DCTs of the three differ within
# the IEEE 1180 bounds, so the check is: every picture at least 45 dB PSNR (Y,
# Cb and Cr) against ffmpeg's and libmpeg2's pictures, and the PSNR against the
# source within 0.25 dB of ffmpeg's (the library's transposed inverse DCT, with
# its constants cut to 16 bits and two rounded passes, is a little less
# accurate than ffmpeg's: about 0.2 dB on streams of 48 dB and more).
#   conformance.sh DECODER WORKDIR
# Exit 0 all passed, 1 a failure, 77 ffmpeg or mpeg2dec unavailable (skipped).
set -uo pipefail
. "$(dirname "$0")/../../common/tests/conformance_setup.sh" "$1" "$2" ffmpeg mpeg2dec

src() {  # name size frames lavfi-graph
  [ -s "$1.yuv" ] || ffmpeg -v error -y -f lavfi -i "$4" -frames:v "$3" -pix_fmt yuv420p -s "$2" -f rawvideo "$1.yuv"
}
src testsrc 176x144 12 "testsrc=size=176x144:rate=25"
src mandel 200x120 10 "mandelbrot=size=200x120:rate=25"
src noise 176x144 10 "testsrc2=size=176x144:rate=25,noise=alls=30:allf=t+u"
size_of() { case $1 in mandel) echo 200 120 ;; *) echo 176 144 ;; esac; }

matrix=$(seq -s, 8 71)  # 8..71 in raster order
cases=(
  "mpeg1_intra|testsrc|-c:v mpeg1video -g 1 -q:v 4"
  "mpeg1_ipb|testsrc|-c:v mpeg1video -bf 2 -g 12 -q:v 3"
  "mpeg1_q31|noise|-c:v mpeg1video -bf 1 -q:v 31"
  "mpeg1_odd|mandel|-c:v mpeg1video -bf 2 -q:v 2"
  "mpeg2_ipb|testsrc|-c:v mpeg2video -bf 2 -g 12 -q:v 3"
  "mpeg2_q1|noise|-c:v mpeg2video -bf 2 -q:v 1"
  "mpeg2_q31|testsrc|-c:v mpeg2video -bf 2 -q:v 31"
  "mpeg2_field|mandel|-c:v mpeg2video -bf 2 -flags +ildct+ilme -q:v 4"
  "mpeg2_field_noise|noise|-c:v mpeg2video -bf 1 -flags +ildct+ilme -top 1 -q:v 6"
  "mpeg2_altscan|testsrc|-c:v mpeg2video -bf 2 -alternate_scan 1 -q:v 2"
  "mpeg2_intravlc|noise|-c:v mpeg2video -bf 2 -intra_vlc 1 -q:v 3"
  "mpeg2_nonlinear|noise|-c:v mpeg2video -bf 2 -non_linear_quant 1 -qmax 28 -q:v 9"
  "mpeg2_matrices|testsrc|-c:v mpeg2video -bf 2 -intra_matrix $matrix -inter_matrix $matrix -q:v 3"
  "mpeg2_dc10|testsrc|-c:v mpeg2video -g 6 -dc 10 -q:v 2"
)

fail=0
for c in "${cases[@]}"; do
  IFS='|' read -r name source opts <<<"$c"
  read -r w h <<<"$(size_of "$source")"
  # shellcheck disable=SC2086
  if ! ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p -s "${w}x$h" -r 25 -i "$source.yuv" $opts \
    -f "$(echo $opts | grep -q mpeg1video && echo mpeg1video || echo mpeg2video)" "$name.m2v"; then
    echo "SKIP $name: ffmpeg cannot encode it"
    continue
  fi
  ffmpeg -v error -y -i "$name.m2v" -fps_mode passthrough -f rawvideo -pix_fmt yuv420p ff.yuv
  rm -f ./*.pgm
  { cat "$name.m2v"; printf '\x00\x00\x01\xb7'; } >lm.m2v  # libmpeg2 shows its last pictures at a sequence end
  mpeg2dec -o pgm lm.m2v >/dev/null 2>&1
  # shellcheck disable=SC2046
  python3 "$common/pgm2yuv.py" "$w" "$h" lm.yuv $(ls ./*.pgm | sort -t/ -k2 -n)
  if ! "$dec" --quiet "$name.m2v" kvn.yuv; then
    echo "FAIL $name: kvnvc-mpeg2dec"
    fail=1
    continue
  fi
  vsff=$(python3 "$common/compare.py" "$w" "$h" kvn.yuv ff.yuv)
  vslm=$(python3 "$common/compare.py" "$w" "$h" kvn.yuv lm.yuv)
  kvnSrc=$(python3 "$common/compare.py" "$w" "$h" kvn.yuv "$source.yuv" | awk '{print $5}')
  ffSrc=$(python3 "$common/compare.py" "$w" "$h" ff.yuv "$source.yuv" | awk '{print $5}')
  verdict=ok
  for r in "$vsff" "$vslm"; do
    echo "$r" | awk '{exit !(NF == 5 && $2 >= 45 && $3 >= 45 && $4 >= 45)}' || verdict=FAIL
  done
  awk -v a="$kvnSrc" -v b="$ffSrc" 'BEGIN {d = a - b; exit !(d <= 0.25 && d >= -0.25)}' || verdict=FAIL
  echo "$verdict $name: against ffmpeg $vsff | libmpeg2 $vslm | source $kvnSrc (ffmpeg $ffSrc)"
  [ "$verdict" = ok ] || fail=1
done
exit $fail
