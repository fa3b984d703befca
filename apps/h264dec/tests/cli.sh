#!/usr/bin/env bash
# Command-line behaviour of kvnvc-h264dec: MD5, YUV and Y4M output of the
# sample streams (ffmpeg reads the Y4M back to the same pictures), standard
# input and output, --frames, and the documented exit codes for unreadable
# files, damaged input and unsupported features (those need x264; without it
# that part is skipped).
#   cli.sh DECODER WORKDIR TESTDATA
set -uo pipefail
dec=$1 work=$2 data=$3
mkdir -p "$work" && cd "$work" || exit 1
fail=0
check() {  # description, condition (evaluated)
  if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi
}

"$dec" --md5 --quiet "$data/high_176x144.264" >md5.txt 2>err.txt; rc=$?
check "--md5 prints the recorded per-frame MD5s" '[ $rc -eq 0 ] && cmp -s md5.txt "$data/high_176x144.md5"'
"$dec" --quiet "$data/high422_10bit_64x48.264" out.yuv 2>err.txt; rc=$?
check "YUV output: 6 frames of 64x48 4:2:2 16-bit" '[ $rc -eq 0 ] && [ "$(stat -c %s out.yuv)" -eq $((6 * 64 * 48 * 2 * 2)) ]'
"$dec" "$data/high_176x144.264" out.yuv 2>err.txt >/dev/null
check "no progress line when stderr is not a terminal" '[ ! -s err.txt ]'
"$dec" --quiet - - <"$data/high_176x144.264" >stdout.yuv 2>err.txt; rc=$?
check "- reads standard input and writes standard output" '[ $rc -eq 0 ] && cmp -s stdout.yuv out.yuv'
"$dec" --quiet --frames 2 "$data/high_176x144.264" two.yuv 2>err.txt; rc=$?
check "--frames 2 writes the first two frames" '[ $rc -eq 0 ] && cmp -s two.yuv <(head -c $((2 * 176 * 144 * 3 / 2)) out.yuv)'
"$dec" --version >ver.txt 2>&1; rc=$?
check "--version: exit 0 and the library version" '[ $rc -eq 0 ] && grep -q "kvnvc-h264dec (kvnVC" ver.txt'
"$dec" --help 2>err.txt; rc=$?
check "--help: exit 0 and the exit codes" '[ $rc -eq 0 ] && grep -q "exit codes" err.txt'
"$dec" --quiet "$data/high_176x144.264" out.y4m 2>err.txt; rc=$?
check "Y4M header of a 4:2:0 8-bit stream" '[ $rc -eq 0 ] && head -1 out.y4m | grep -qx "YUV4MPEG2 W176 H144 F25:1 Ip A0:0 C420mpeg2"'
"$dec" --quiet --y4m "$data/high422_10bit_64x48.264" out10.y4m 2>err.txt
check "Y4M header of a 4:2:2 10-bit stream" 'head -1 out10.y4m | grep -q " W64 H48 .* C422p10$"'
"$dec" no-such-file.264 out.yuv 2>err.txt; rc=$?
check "unreadable input: exit 1 and a message" '[ $rc -eq 1 ] && grep -q "cannot open no-such-file.264" err.txt'
"$dec" "$data/high_176x144.264" /no-such-dir/out.yuv 2>err.txt; rc=$?
check "unwritable output: exit 1 and a message" '[ $rc -eq 1 ] && grep -q "cannot create" err.txt'
"$dec" 2>err.txt; rc=$?
check "no arguments: usage and exit 2" '[ $rc -eq 2 ] && grep -q usage err.txt'
head -c 5000 "$data/high_176x144.264" >trunc.264
"$dec" --quiet trunc.264 out.yuv 2>err.txt; rc=$?
check "truncated stream: frames (exit 0), no crash" '[ $rc -eq 0 ]'
head -c 3000 /dev/urandom >junk.264
"$dec" --quiet junk.264 out.yuv 2>err.txt; rc=$?
check "random bytes: exit 4 (or 3) and a message, no crash" '[ $rc -eq 4 -o $rc -eq 3 ] && [ -s err.txt ]'

root=$(cd "$(dirname "$0")/../../.." && pwd)
if ! command -v x264 >/dev/null || ! command -v ffmpeg >/dev/null; then
  "$root/scripts/deps.sh" x264 ffmpeg >/dev/null 2>&1 || true
fi
if command -v ffmpeg >/dev/null; then
  for y in out.y4m out10.y4m; do
    "$dec" --quiet "$data/$([ $y = out.y4m ] && echo high_176x144 || echo high422_10bit_64x48).264" raw.yuv 2>/dev/null
    ffmpeg -v error -y -i "$y" -f rawvideo back.yuv
    check "ffmpeg reads $y back to the decoded pictures" 'cmp -s back.yuv raw.yuv'
  done
fi
if command -v x264 >/dev/null && command -v ffmpeg >/dev/null; then
  ffmpeg -v error -y -f lavfi -i testsrc=size=64x64:rate=25 -frames:v 3 -pix_fmt yuv420p -f rawvideo s420.yuv
  ffmpeg -v error -y -f lavfi -i testsrc=size=64x64:rate=25 -frames:v 3 -pix_fmt yuv444p -f rawvideo s444.yuv
  unsupported() {  # name, expected message, source, x264 options...
    local name=$1 msg=$2 src=$3; shift 3
    x264 --quiet --no-progress --input-res 64x64 "$@" -o "$name.264" "$src" 2>/dev/null
    "$dec" --quiet "$name.264" out.yuv 2>err.txt; local rc=$?
    check "$name: exit 3 and \"$msg\"" "[ $rc -eq 3 ] && grep -q \"$msg\" err.txt"
  }
  unsupported interlaced "unsupported: interlaced" s420.yuv --no-cabac --interlaced
  unsupported yuv444 "unsupported: 4:4:4" s444.yuv --no-cabac --input-csp i444 --output-csp i444 --profile high444
else
  echo "skip unsupported-feature checks: x264/ffmpeg not installed"
fi
exit $fail
