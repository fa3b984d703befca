#!/usr/bin/env bash
# Conformance matrix: encodes synthetic pictures with x264 over a set of
# encoder options, each case once with CAVLC and once with CABAC (baseline
# cases: CAVLC only), decodes each stream with kvnvc-h264dec and with ffmpeg,
# and requires byte-identical raw output.
#   conformance.sh DECODER WORKDIR [CASE-FILTER]
# Exit 0 all passed, 1 a mismatch, 77 x264/ffmpeg unavailable (skipped).
set -uo pipefail
dec=$1 work=$2 filter=${3:-}
root=$(cd "$(dirname "$0")/../../.." && pwd)
if ! command -v x264 >/dev/null || ! command -v ffmpeg >/dev/null; then
  "$root/scripts/deps.sh" x264 ffmpeg >/dev/null 2>&1 || true
fi
if ! command -v x264 >/dev/null || ! command -v ffmpeg >/dev/null; then
  echo "SKIP: x264 or ffmpeg not available"
  exit 77
fi
mkdir -p "$work" && cd "$work" || exit 1

# Sources: name size frames lavfi-graph pixel-format
src() {
  local name=$1 size=$2 n=$3 graph=$4 fmt=$5
  [ -s "$name.yuv" ] && return 0
  ffmpeg -v error -y -f lavfi -i "$graph" -frames:v "$n" -pix_fmt "$fmt" -s "$size" -f rawvideo "$name.yuv"
}
src testsrc 176x144 12 "testsrc=size=176x144:rate=25" yuv420p
src mandel 208x120 10 "mandelbrot=size=208x120:rate=25" yuv420p
src noise 176x144 10 "testsrc2=size=176x144:rate=25,noise=alls=30:allf=t+u" yuv420p
src t422 176x144 10 "testsrc=size=176x144:rate=25" yuv422p
# Whole-sample pans (4 and 2 samples a frame) of a larger picture: blocks
# predicted straight from their reference pictures inside them, and padded by
# the library where the motion leaves them.
src pan 176x144 16 "testsrc2=size=352x288:rate=25,crop=176:144:'mod(n*4,176)':'mod(n*2,144)'" yuv420p
src pan422 176x144 12 "testsrc2=size=352x288:rate=25,crop=176:144:'mod(n*4,176)':'mod(n*2,144)'" yuv422p
src cuts 176x144 60 "testsrc=size=176x144:rate=25:duration=0.8[a];mandelbrot=size=176x144:rate=25,trim=duration=0.8,setpts=PTS-STARTPTS[b];smptebars=size=176x144:rate=25:duration=0.8[c];[a][b][c]concat=n=3" yuv420p

# name | source | x264 options (each run with --no-cabac and with --cabac)
cases=(
  "base_i|testsrc|--profile baseline --keyint 1 --qp 26"
  "base_p_ref1|testsrc|--profile baseline --ref 1"
  "base_p_ref4|testsrc|--profile baseline --ref 4 --partitions all"
  "main_b3_spatial|testsrc|--profile main --bframes 3 --b-pyramid normal --direct spatial"
  "main_b3_temporal|testsrc|--profile main --bframes 3 --b-pyramid normal --direct temporal"
  "main_b3_ref4|mandel|--profile main --bframes 3 --b-pyramid normal --ref 4 --partitions all"
  "main_weightp1|testsrc|--profile main --bframes 0 --weightp 1"
  "main_weightp2|noise|--profile main --bframes 0 --weightp 2 --ref 4"
  "main_weightb|testsrc|--profile main --bframes 3 --weightb --weightp 2"
  "high_8x8|testsrc|--profile high --bframes 3 --8x8dct --partitions all"
  "high_no8x8|testsrc|--profile high --bframes 3 --no-8x8dct"
  "high_slices3|mandel|--profile high --bframes 3 --slices 3"
  "high_nodeblock|testsrc|--profile high --bframes 2 --no-deblock"
  "high_deblock_strong|noise|--profile high --bframes 2 --deblock 6:6"
  "high_deblock_weak|noise|--profile high --bframes 2 --deblock -6:-6"
  "high_qp1|noise|--profile high --bframes 2 --qp 1"
  "high_qp10|testsrc|--profile high --bframes 2 --qp 10"
  "high_qp26|mandel|--profile high --bframes 2 --qp 26"
  "high_qp40|testsrc|--profile high --bframes 2 --qp 40"
  "high_qp51|testsrc|--profile high --bframes 2 --qp 51"
  "high_odd_size|mandel|--profile high --bframes 3 --direct temporal --weightp 2"
  "high10|testsrc|--profile high10 --output-depth 10 --bframes 3"
  "high10_qp|noise|--profile high10 --output-depth 10 --bframes 2 --qp 12 --weightp 2"
  "high422|t422|--profile high422 --output-csp i422 --bframes 3"
  "high422_10|t422|--profile high422 --output-csp i422 --output-depth 10 --bframes 2"
  "high422_wp|t422|--profile high422 --output-csp i422 --bframes 3 --weightp 2 --weightb --direct temporal"
  "high10_spatial_8x8|noise|--profile high10 --output-depth 10 --bframes 3 --direct spatial --partitions all --ref 3"
  "high_cqm_jvt|testsrc|--profile high --cqm jvt --bframes 2"
  "base_constrained_intra|noise|--profile baseline --constrained-intra --ref 2"
  "main_constrained_intra|noise|--profile main --constrained-intra --bframes 2 --ref 2"
  "ref16_b8_pyramid|testsrc|--profile high --ref 16 --bframes 8 --b-pyramid normal"
  "open_gop|cuts|--profile high --open-gop --keyint 12 --bframes 3"
  "slice_max_size|noise|--profile main --slice-max-size 300 --bframes 2"
  "intra_refresh|testsrc|--profile main --intra-refresh --bframes 0 --keyint 6"
  "long_gop_cuts|cuts|--profile high --bframes 3 --keyint 250 --scenecut 40 --ref 3"
  "pan_b_spatial|pan|--profile high --bframes 3 --b-pyramid normal --direct spatial --ref 3 --partitions all"
  "pan_weighted|pan|--profile high --bframes 3 --weightp 2 --weightb --direct temporal"
  "pan422|pan422|--profile high422 --output-csp i422 --bframes 3 --partitions all"
)

declare -A sizes=([testsrc]=176x144 [mandel]=208x120 [noise]=176x144 [t422]=176x144 [cuts]=176x144 [pan]=176x144
  [pan422]=176x144)
declare -A csps=([t422]=i422 [pan422]=i422)
pass=0 fail=0
for c in "${cases[@]}"; do
  IFS='|' read -r case source opts <<<"$c"
  csp=${csps[$source]:-i420}
  for entropy in cavlc cabac; do
    name=${case}_$entropy
    [ -n "$filter" ] && [[ $name != *$filter* ]] && continue
    [ "$entropy" = cabac ] && [[ $case == base_* ]] && continue  # baseline profile: no CABAC
    flag=--no-cabac
    [ "$entropy" = cabac ] && flag=--cabac
    # shellcheck disable=SC2086
    if ! x264 --quiet --no-progress $flag $opts --input-csp "$csp" --input-res "${sizes[$source]}" --fps 25 \
        -o "$name.264" "$source.yuv" >/dev/null 2>"$name.x264.log"; then
      echo "FAIL $name: x264 failed: $(tail -1 "$name.x264.log")"; fail=$((fail + 1)); continue
    fi
    ffmpeg -v error -y -i "$name.264" -f rawvideo -fps_mode passthrough "$name.ref.yuv"
    if ! "$dec" --quiet "$name.264" "$name.out.yuv" 2>"$name.dec.log"; then
      echo "FAIL $name: decoder failed: $(tail -1 "$name.dec.log")"; fail=$((fail + 1)); continue
    fi
    if cmp -s "$name.ref.yuv" "$name.out.yuv"; then
      echo "ok   $name"; pass=$((pass + 1))
    else
      echo "FAIL $name: output differs ($(cmp "$name.ref.yuv" "$name.out.yuv" 2>&1 | head -1))"; fail=$((fail + 1))
    fi
    rm -f "$name.ref.yuv" "$name.out.yuv"
  done
done
echo "conformance: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
