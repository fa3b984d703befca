#!/usr/bin/env bash
# Builds the library and runs the demo program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kvnvc-demo
build/apps/demo/kvnvc-demo
