#!/usr/bin/env bash
# Decoding speed of the sample decoder: makes two 1280x720 High-profile
# streams with x264 from a synthetic source, one CAVLC and one CABAC, checks
# that kvnvc-h264dec and ffmpeg decode each to the same frames, reports
# frames per second of both (ffmpeg single-threaded; best CPU time of three
# runs) and, when perf is installed, where kvnvc-h264dec spends its time by
# library family.
#   scripts/bench_h264dec.sh [build-dir] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/cpu_time.sh
build=${1:-build}
frames=${2:-300}
scripts/deps.sh x264 ffmpeg
if [ ! -x "$build/apps/h264dec/kvnvc-h264dec" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target kvnvc-h264dec
fi
dec=$build/apps/h264dec/kvnvc-h264dec
work=$build/bench-h264dec
mkdir -p "$work"

for entropy in cavlc cabac; do
  stream=$work/hd720_${entropy}_$frames.264
  flag=--no-cabac
  [ "$entropy" = cabac ] && flag=--cabac
  if [ ! -s "$stream" ]; then
    echo "encoding $frames frames of 1280x720 (x264, $entropy, High profile)..."
    ffmpeg -v error -f lavfi -i testsrc2=size=1280x720:rate=30 -frames:v "$frames" -pix_fmt yuv420p -f rawvideo - |
      x264 --quiet --no-progress --demuxer raw --input-res 1280x720 --fps 30 $flag --profile high \
        --preset medium --crf 23 -o "$stream" - 2>/dev/null
  fi
  echo "== $entropy"
  "$dec" --md5 --quiet "$stream" >"$work/ours.md5"
  ffmpeg -v error -threads 1 -i "$stream" -f framemd5 - | awk -F, '!/^#/ {gsub(/ /, "", $6); print $6}' >"$work/ffmpeg.md5"
  if cmp -s "$work/ours.md5" "$work/ffmpeg.md5"; then echo "output: identical to ffmpeg ($frames frames)"
  else echo "output: DIFFERS from ffmpeg"; fi
  ours=$(cpu_time "$dec" --quiet "$stream" /dev/null)
  ref=$(cpu_time ffmpeg -v error -threads 1 -i "$stream" -f null -)
  awk -v n="$frames" -v a="$ours" -v b="$ref" 'BEGIN {
    printf "kvnvc-h264dec      %6.3f s  %7.1f fps\n", a, n / a
    printf "ffmpeg -threads 1  %6.3f s  %7.1f fps\n", b, n / b
    printf "time ratio kvnvc-h264dec / ffmpeg: %.2f\n", a / b }'
done

# perf: the last stream (CABAC)
if command -v perf >/dev/null && perf record -q -o "$work/perf.data" -F 2000 "$dec" --quiet "$stream" /dev/null \
    >/dev/null 2>&1; then
  # Library symbols map to their family through the object file that defines
  # them (src/h264/<family>_*.cpp); everything in the executable is the
  # decoder's own parsing and decisions.
  objs=$build/src/CMakeFiles/kvnvc_objects.dir
  : >"$work/families.txt"
  for o in $(find "$objs" -name '*.o'); do
    fam=$(basename "$o" .cpp.o)
    fam=${fam%_api}; fam=${fam%_c}; fam=${fam%_sse2}; fam=${fam%_sse41}; fam=${fam%_avx2}; fam=${fam%_init}
    nm --defined-only "$o" 2>/dev/null | awk -v f="$fam" '$2 ~ /[TtWw]/ {print $3, f}' >>"$work/families.txt"
  done
  perf report -i "$work/perf.data" --no-demangle --sort dso,sym --stdio 2>/dev/null |
    awk -v map="$work/families.txt" '
      BEGIN { while ((getline l < map) > 0) { split(l, p, " "); fam[p[1]] = p[2] } }
      /^ *[0-9.]+%/ {
        pct = $1; sub(/%/, "", pct); dso = $2; sym = $4
        if (sym in fam) k = "library: " fam[sym]
        else if (dso ~ /kvnvc-h264dec/) k = "decoder (parsing, decisions)"
        else if (dso ~ /libkvnvc/) k = "library: other"
        else if (dso ~ /libc/) k = "libc (copies, output)"
        else k = dso
        t[k] += pct
      }
      END { print "time by family (perf samples):"; for (k in t) printf "  %6.2f%%  %s\n", t[k], k | "sort -rn" }'
fi
