#!/usr/bin/env bash
# Command-line behaviour of kvnvc-h264dec: MD5 and YUV output of the sample
# streams, clear errors for unreadable files, damaged input and unsupported
# features (those need x264; without it that part is skipped).
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
check "reports frames and fps on stderr" 'grep -q "12 frames in .* fps" err.txt'
"$dec" no-such-file.264 out.yuv 2>err.txt; rc=$?
check "unreadable input: exit 1 and a message" '[ $rc -eq 1 ] && grep -q "cannot open no-such-file.264" err.txt'
"$dec" "$data/high_176x144.264" /no-such-dir/out.yuv 2>err.txt; rc=$?
check "unwritable output: exit 1 and a message" '[ $rc -eq 1 ] && grep -q "cannot create" err.txt'
"$dec" 2>err.txt; rc=$?
check "no arguments: usage and exit 2" '[ $rc -eq 2 ] && grep -q usage err.txt'
head -c 5000 "$data/high_176x144.264" >trunc.264
"$dec" --quiet trunc.264 out.yuv 2>err.txt; rc=$?
check "truncated stream: frames or a clear error, no crash" '[ $rc -le 3 ]'
head -c 3000 /dev/urandom >junk.264
"$dec" --quiet junk.264 out.yuv 2>err.txt; rc=$?
check "random bytes: a clear error, no crash" '[ $rc -le 3 ]'

root=$(cd "$(dirname "$0")/../../.." && pwd)
if ! command -v x264 >/dev/null || ! command -v ffmpeg >/dev/null; then
  "$root/scripts/deps.sh" x264 ffmpeg >/dev/null 2>&1 || true
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
