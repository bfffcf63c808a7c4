#!/usr/bin/env bash
# Builds the four model libraries and runs each through the reference host on
# a default stimulus (a PRBS-7 NRZ wave, 32 samples per bit), printing the
# summaries.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
# Each model with its parameters at their defaults.
params() {
  case $(basename "$1") in
    Korvath_x64.so) echo "(Korvath (SlewTime 100) (Pre 0) (Pst1 -10) (Pst2 0) (Swing 500))" ;;
    Welbrook_tx_x64.so) echo "(Welbrook_tx (SLEW_CTL 0) (TX_TERM_CTL 1))" ;;
    Welbrook_rx_x64.so) echo "(Welbrook_rx (VotingThreshold 0) (SettlingTime 4) (EQ 0) (HorL 1))" ;;
    Sarnet_x64.so) echo "(Sarnet (Gain 1))" ;;
  esac
}
for lib in build/release/lib/*_x64.so; do
  echo
  build/release/host/amihost "$lib" --params "$(params "$lib")" --sample-interval 3.125e-12 \
    --bit-time 1e-10 --prbs 2048 --block 4096 || true
done
