#!/usr/bin/env bash
# Builds the four model libraries and runs each through the reference host on
# a default stimulus (a PRBS-7 NRZ wave, 32 samples per bit), printing the
# summaries.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
for lib in build/release/lib/*_x64.so; do
  echo
  build/release/host/amihost "$lib" --sample-interval 3.125e-12 --bit-time 1e-10 --prbs 2048 \
    --block 4096 || true
done
