#!/usr/bin/env bash
# Makes the committed sample streams of the robustness check (ffmpeg's
# encoders from synthetic sources) and records kvnvc-mpeg2dec's per-picture
# MD5s beside them; check the pictures against ffmpeg (conformance.sh) first.
#   make_testdata.sh DECODER
set -euo pipefail
dec=$1
cd "$(dirname "$0")/../testdata"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=176x144:rate=25" -frames:v 6 -c:v mpeg2video -bf 2 -g 6 \
  -flags +ildct+ilme -alternate_scan 1 -q:v 14 -f mpeg2video mpeg2_176x144.m2v
ffmpeg -v error -y -f lavfi -i "testsrc2=size=176x144:rate=25" -frames:v 6 -c:v mpeg1video -bf 2 -g 6 -q:v 14 \
  -f mpeg1video mpeg1_176x144.m2v
for s in mpeg2_176x144 mpeg1_176x144; do "$dec" --md5 --quiet "$s.m2v" >"$s.md5"; done
ls -l
