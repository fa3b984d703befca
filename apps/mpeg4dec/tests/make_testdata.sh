#!/usr/bin/env bash
# Makes the committed sample streams of the robustness check (ffmpeg's
# encoders from synthetic sources) and records kvnvc-mpeg4dec's per-picture
# MD5s beside them; check the pictures against ffmpeg (conformance.sh) first.
#   make_testdata.sh DECODER
set -euo pipefail
dec=$1
cd "$(dirname "$0")/../testdata"
src="testsrc2=size=176x144:rate=25"
ffmpeg -v error -y -f lavfi -i "$src" -frames:v 6 -c:v mpeg4 -bf 2 -g 6 -flags +mv4 -ps 400 -q:v 10 \
  -f m4v mpeg4_176x144.m4v
ffmpeg -v error -y -f lavfi -i "$src" -frames:v 6 -c:v libxvid -bf 1 -mpeg_quant 1 -q:v 8 -f m4v xvid_176x144.m4v
ffmpeg -v error -y -f lavfi -i "$src" -frames:v 4 -c:v h263p -flags +aic+loop+mv4 -umv 1 -ps 300 -q:v 9 \
  -f h263 h263p_176x144.h263
ffmpeg -v error -y -f lavfi -i "$src" -frames:v 4 -c:v h261 -q:v 9 -f h261 h261_176x144.h261
for s in *.m4v *.h263 *.h261; do
  [ -e "$s" ] && "$dec" --md5 --quiet "$s" >"${s%.*}.md5"
done
ls -l
