#!/usr/bin/env bash
# Runs the decoder fuzzer for a bounded time from the sample streams.
#   fuzz.sh FUZZER WORKDIR SEED-DIR SECONDS
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3 secs=$4
mkdir -p "$work/corpus"
cp "$seeds"/*.264 "$work/corpus/"
cd "$work"
exec "$fuzzer" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 corpus
