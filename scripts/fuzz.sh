#!/usr/bin/env bash
# Builds every fuzz/<name>.cpp with clang and libFuzzer and runs each for a
# bounded time on a scratch copy of its seed corpus, all in parallel.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
out=build/fuzz
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I."
pids=()
names=()
for src in fuzz/*.cpp; do
  [ -e "$src" ] || continue
  name=$(basename "$src" .cpp)
  extra=$(sed -n 's|^// fuzz-sources: ||p' "$src")
  clang++ $flags "$src" IbisParser/*.cpp $extra -o "$out/$name"
  work="$out/$name.corpus"
  rm -rf "$work"
  mkdir -p "$work"
  corpus=fuzz/corpus/${name%_fuzz}
  [ -d "$corpus" ] && cp -r "$corpus/." "$work/"
  ASAN_OPTIONS=detect_leaks=1 "$out/$name" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=65536 "$work" >"$out/$name.log" 2>&1 &
  pids+=($!)
  names+=("$name")
done
status=0
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzz ${names[$i]}: no crash in ${seconds}s ($(grep -c '' "$out/${names[$i]}.log") log lines)"
  else
    echo "fuzz ${names[$i]}: FAILED"
    tail -n 60 "$out/${names[$i]}.log"
    status=1
  fi
done
exit $status
