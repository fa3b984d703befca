#!/usr/bin/env bash
# Conformance of kvnvc-mpeg4dec: ffmpeg's mpeg4, libxvid, h263, h263p and h261
# encoders make streams from synthetic sources over a matrix of options
# (B-VOPs, four vectors, MPEG quantisation with default and custom matrices,
# resync markers, quantisers 1 to 31, sizes that are not multiples of 16,
# H.263 advanced intra, deblocking, unrestricted vectors, H.261 QCIF and
# CIF); kvnvc-mpeg4dec and ffmpeg decode each. The check: every picture at
# least 45 dB PSNR (Y, Cb and Cr) against ffmpeg's, and the PSNR against the
# source within the case's tolerance of ffmpeg's: 0.1 dB, or 0.2 dB for
# streams of fine quantisers with long runs of P pictures (the library's
# transposed inverse DCT, its constants cut to 16 bits, is a little less
# accurate than ffmpeg's; its error accumulates along the prediction chain,
# about 0.02 dB a picture at 45 dB).
#   conformance.sh DECODER WORKDIR
# Exit 0 all passed, 1 a failure, 77 ffmpeg unavailable (skipped).
set -uo pipefail
. "$(dirname "$0")/../../common/tests/conformance_setup.sh" "$1" "$2" ffmpeg

src() {  # name size frames lavfi-graph
  [ -s "$1.yuv" ] || ffmpeg -v error -y -f lavfi -i "$4" -frames:v "$3" -pix_fmt yuv420p -s "$2" -f rawvideo "$1.yuv"
}
src testsrc 176x144 12 "testsrc=size=176x144:rate=25"
src mandel 200x120 10 "mandelbrot=size=200x120:rate=25"
src noise 176x144 10 "testsrc2=size=176x144:rate=25,noise=alls=30:allf=t+u"
src odd 208x144 10 "testsrc2=size=208x144:rate=25"
src cif 352x288 6 "testsrc2=size=352x288:rate=25"
src long 176x144 32 "testsrc=size=176x144:rate=25"  # past one second: a GOV header resets the time base
size_of() {
  case $1 in
    mandel) echo 200 120 ;;
    odd) echo 208 144 ;;
    cif) echo 352 288 ;;
    *) echo 176 144 ;;
  esac
}

matrix=$(seq -s, 8 71)  # 8..71 in raster order
# name | source | container format | tolerance (dB) | encoder options
cases=(
  "m4v_intra|testsrc|m4v|0.1|-c:v mpeg4 -g 1 -q:v 4"
  "m4v_ip|testsrc|m4v|0.2|-c:v mpeg4 -bf 0 -g 12 -q:v 3"
  "m4v_ipb|testsrc|m4v|0.1|-c:v mpeg4 -bf 2 -g 12 -q:v 4"
  "m4v_mv4|testsrc|m4v|0.1|-c:v mpeg4 -bf 2 -flags +mv4 -q:v 3"
  "m4v_acpred_q31|noise|m4v|0.1|-c:v mpeg4 -bf 1 -q:v 31"
  "m4v_q1|noise|m4v|0.2|-c:v mpeg4 -bf 1 -q:v 1"
  "m4v_q8_odd|mandel|m4v|0.1|-c:v mpeg4 -bf 2 -flags +mv4 -q:v 8"
  "m4v_odd_mbs|odd|m4v|0.1|-c:v mpeg4 -bf 2 -q:v 5"
  "m4v_mpegquant|testsrc|m4v|0.1|-c:v mpeg4 -bf 2 -mpeg_quant 1 -q:v 3"
  "m4v_matrices|noise|m4v|0.1|-c:v mpeg4 -bf 2 -mpeg_quant 1 -intra_matrix $matrix -inter_matrix $matrix -q:v 6"
  "m4v_resync|testsrc|m4v|0.1|-c:v mpeg4 -bf 2 -flags +mv4 -ps 300 -q:v 3"
  "m4v_resync_noise|noise|m4v|0.1|-c:v mpeg4 -bf 1 -ps 500 -q:v 10"
  "m4v_open_gov|long|m4v|0.1|-c:v mpeg4 -bf 2 -g 26 -q:v 6"
  "m4v_cif|cif|m4v|0.1|-c:v mpeg4 -bf 2 -flags +mv4 -q:v 6"
  "xvid_ipb|testsrc|m4v|0.1|-c:v libxvid -bf 2 -q:v 4"
  "xvid_mv4_noise|noise|m4v|0.1|-c:v libxvid -bf 1 -q:v 7 -flags +mv4"
  "xvid_mpegquant|mandel|m4v|0.1|-c:v libxvid -bf 2 -mpeg_quant 1 -q:v 5"
  "h263_base|testsrc|h263|0.1|-c:v h263 -q:v 4"
  "h263_mv4|testsrc|h263|0.1|-c:v h263 -flags +mv4 -q:v 3"
  "h263_gobs_q31|noise|h263|0.1|-c:v h263 -ps 300 -q:v 31"
  "h263_cif|cif|h263|0.1|-c:v h263 -q:v 6"
  "h263p_base|testsrc|h263|0.1|-c:v h263p -q:v 4"
  "h263p_umv|testsrc|h263|0.1|-c:v h263p -umv 1 -flags +mv4 -q:v 4"
  "h263p_aic|noise|h263|0.2|-c:v h263p -flags +aic -q:v 3"
  "h263p_loop|testsrc|h263|0.1|-c:v h263p -flags +loop -q:v 8"
  "h263p_all|mandel|h263|0.1|-c:v h263p -flags +aic+loop+mv4 -umv 1 -q:v 4"
  "h263p_slices|noise|h263|0.1|-c:v h263p -flags +aic+loop+mv4 -umv 1 -ps 200 -q:v 5"
  "h263p_all_cif|cif|h263|0.2|-c:v h263p -flags +aic+loop+mv4 -umv 1 -q:v 2"
  "h261_qcif|testsrc|h261|0.1|-c:v h261 -q:v 4"
  "h261_qcif_noise|noise|h261|0.1|-c:v h261 -q:v 10"
  "h261_q31|testsrc|h261|0.1|-c:v h261 -g 3 -q:v 31"
  "h261_cif|cif|h261|0.2|-c:v h261 -q:v 3"
)

fail=0
for c in "${cases[@]}"; do
  IFS='|' read -r name source fmt tol opts <<<"$c"
  read -r w h <<<"$(size_of "$source")"
  # shellcheck disable=SC2086
  if ! ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p -s "${w}x$h" -r 25 -i "$source.yuv" $opts -f "$fmt" "$name.$fmt"; then
    echo "SKIP $name: ffmpeg cannot encode it"
    continue
  fi
  ffmpeg -v quiet -y -i "$name.$fmt" -fps_mode passthrough -f rawvideo -pix_fmt yuv420p ff.yuv
  if ! "$dec" --quiet "$name.$fmt" kvn.yuv; then
    echo "FAIL $name: kvnvc-mpeg4dec"
    fail=1
    continue
  fi
  vsff=$(python3 "$common/compare.py" "$w" "$h" kvn.yuv ff.yuv)
  kvnSrc=$(python3 "$common/compare.py" --prefix "$w" "$h" kvn.yuv "$source.yuv" | awk '{print $5}')
  ffSrc=$(python3 "$common/compare.py" --prefix "$w" "$h" ff.yuv "$source.yuv" | awk '{print $5}')
  verdict=ok
  echo "$vsff" | awk '{exit !(NF == 5 && $2 >= 45 && $3 >= 45 && $4 >= 45)}' || verdict=FAIL
  awk -v a="$kvnSrc" -v b="$ffSrc" -v t="$tol" 'BEGIN {d = a - b; exit !(d <= t && d >= -t)}' || verdict=FAIL
  echo "$verdict $name: against ffmpeg $vsff | source $kvnSrc (ffmpeg $ffSrc)"
  [ "$verdict" = ok ] || fail=1
done
# Tools the decoder lacks: refused with "unsupported: <tool>" and exit status 3.
refusals=(
  "quarter-sample|m4v|-c:v mpeg4 -flags +qpel -q:v 4"
  "interlace|m4v|-c:v mpeg4 -flags +ildct -q:v 4"
  "GMC/sprites|m4v|-c:v libxvid -gmc 1 -q:v 4"
  "data partitioning|m4v|-c:v mpeg4 -data_partitioning 1 -q:v 4"
  "overlapped block motion compensation|h263|-c:v h263p -obmc 1 -q:v 4"
)
for r in "${refusals[@]}"; do
  IFS='|' read -r tool fmt opts <<<"$r"
  # shellcheck disable=SC2086
  if ! ffmpeg -v error -y -f rawvideo -pix_fmt yuv420p -s 176x144 -r 25 -i testsrc.yuv $opts -f "$fmt" "refused.$fmt"; then
    echo "SKIP refusal of $tool: ffmpeg cannot encode it"
    continue
  fi
  msg=$("$dec" --quiet "refused.$fmt" refused.yuv 2>&1)
  status=$?
  if [ "$status" -eq 3 ] && echo "$msg" | grep -q "unsupported: .*$tool"; then
    echo "ok refused: $msg"
  else
    echo "FAIL refusal of $tool: status $status, \"$msg\""
    fail=1
  fi
done
exit $fail
