#!/usr/bin/env bash
# Builds and runs every test: the plain build, the AddressSanitizer and
# UndefinedBehaviorSanitizer build, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
jobs=${JOBS:-$(nproc)}
scripts/deps.sh

echo "== plain build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== sanitizer build (ASan + UBSan)"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNHOLT_SANITIZE=ON \
  -DVARNHOLT_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

echo "== fuzzing"
scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

# The Windows x64 DLLs, cross-built with MinGW-w64, tested under Wine
# (installs the cross compiler and Wine when missing).
scripts/windows.sh build/windows
