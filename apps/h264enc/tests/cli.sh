#!/usr/bin/env bash
# Command-line behaviour of kvnvc-h264enc: usage errors, unreadable input,
# odd sizes, a truncated last picture (the whole pictures are encoded, the
# rest reported), raw input with --size equal to Y4M input, standard input
# and output ("-"), a Y4M reconstruction, --version.
#   cli.sh ENCODER WORKDIR
set -uo pipefail
enc=$1 work=$2
mkdir -p "$work" && cd "$work" || exit 1
fail=0
expect() {  # expected-exit-status description command...
  local want=$1 what=$2
  shift 2
  "$@" >out.txt 2>err.txt
  local got=$?
  if [ "$got" != "$want" ]; then
    echo "FAIL $what: exit $got, expected $want: $(head -c 200 err.txt)"
    fail=1
  fi
}
# 3 pictures of 32x16 4:2:0 (768 bytes each), then half a picture.
head -c $((768 * 3 + 300)) /dev/urandom >in.yuv
{ printf 'YUV4MPEG2 W32 H16 F25:1 Ip A1:1 C420jpeg\n'; for i in 0 1 2; do printf 'FRAME\n'; dd if=in.yuv bs=768 skip=$i count=1 2>/dev/null; done; } >in.y4m

expect 2 "no arguments" "$enc"
expect 2 "no output" "$enc" in.yuv --size 32x16
expect 2 "unknown option" "$enc" in.yuv --size 32x16 -o o.264 --bogus
expect 2 "bad qp" "$enc" in.yuv --size 32x16 -o o.264 --qp 52
expect 1 "missing input" "$enc" missing.yuv --size 32x16 -o o.264
expect 1 "no size" "$enc" in.yuv -o o.264
expect 1 "odd size" "$enc" in.yuv --size 33x16 -o o.264
expect 0 "truncated last picture" "$enc" in.yuv --size 32x16 -o raw.264 --recon raw.yuv --quiet
grep -q "300 bytes of a truncated last picture not encoded" err.txt || { echo "FAIL truncated picture not reported"; fail=1; }
[ "$(stat -c %s raw.yuv)" = $((768 * 3)) ] || { echo "FAIL reconstruction size"; fail=1; }
expect 0 "y4m input" "$enc" in.y4m -o y4m.264 --recon y4m.yuv --quiet
cmp -s raw.264 y4m.264 || { echo "FAIL raw and Y4M input give different streams"; fail=1; }
"$enc" - -o - --recon rec.y4m --quiet <in.y4m >pipe.264 2>err.txt || { echo "FAIL standard input and output"; fail=1; }
cmp -s pipe.264 y4m.264 || { echo "FAIL the stream through standard input and output differs"; fail=1; }
{ head -1 rec.y4m | grep -qx 'YUV4MPEG2 W32 H16 F25:1 Ip A0:0 C420mpeg2' &&
  [ "$(stat -c %s rec.y4m)" = $(($(head -1 rec.y4m | wc -c) + 3 * (6 + 768))) ]; } ||
  { echo "FAIL Y4M reconstruction"; fail=1; }
expect 0 "--version" "$enc" --version
grep -q "kvnvc-h264enc (kvnVC" out.txt || { echo "FAIL --version text"; fail=1; }
exit $fail
