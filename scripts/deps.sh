#!/usr/bin/env bash
# Installs the Debian packages the build needs when any is missing.
# Usage: scripts/deps.sh [extra packages...]
set -euo pipefail
need=()
for pkg in cmake ninja-build g++ pkg-config binutils libgtest-dev libbenchmark-dev clang clang-format libclang-rt-dev "$@"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
[ ${#need[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "installing: ${need[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
