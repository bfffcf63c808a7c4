#!/usr/bin/env bash
# Cross-builds the Windows x64 DLLs, the reference host and the library-level
# tests with MinGW-w64, and runs the tests under Wine (headless, in a
# throw-away prefix). When a Linux release tree exists (test.sh builds it
# first), the reference host's output of every model, at its defaults and at
# every response setting of the retimers, is also compared between the Linux
# library and the DLL.
# Usage: scripts/windows.sh [build dir, default build/windows]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/windows}
jobs=${JOBS:-$(nproc)}
scripts/deps.sh windows

echo "== Windows x64 cross build (MinGW-w64), tests under Wine"
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$out" -j "$jobs"

wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/varnholt-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
stop_wine() {
  # Only the server of our own prefix.
  WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap stop_wine EXIT
# Creating the prefix takes the first few seconds; do it once, up front.
"$wine" cmd /c exit >/dev/null 2>&1 || true

ctest --test-dir "$out" --output-on-failure -j 3

# The parameter strings each library is compared under: its defaults, and
# every response setting of the retimers.
settings() {
  echo ""
  case $1 in
    Welbrook_rx_x64)
      for h in 0 1; do for e in 0 1 2 3 4 5 6 7; do
        echo "(Welbrook_rx (EQ $e) (HorL $h))"
      done; done ;;
    Welbrook_tx_x64)
      for t in 0 1 2; do for s in 0 1 2; do
        echo "(Welbrook_tx (SLEW_CTL $s) (TX_TERM_CTL $t))"
      done; done ;;
  esac
}

linux=${LINUX_BUILD:-build/release}
if [ -x "$linux/host/amihost" ]; then
  status=0
  for dll in "$out"/lib/*_x64.dll; do
    name=$(basename "$dll" .dll)
    so=$linux/lib/$name.so
    [ -f "$so" ] || continue
    mapfile -t list < <(settings "$name")
    for params in "${list[@]}"; do
      tmp=$(mktemp -d)
      args=(--prbs 512 --block 777)
      [ -z "$params" ] || args+=(--params "$params")
      "$linux/host/amihost" "$so" "${args[@]}" --out-wave "$tmp/lw" --out-clock "$tmp/lc" >/dev/null
      "$wine" "$out/host/amihost.exe" "$dll" "${args[@]}" --out-wave "$tmp/ww" \
        --out-clock "$tmp/wc" >/dev/null
      # The C libraries' tanh and exp may differ in the last bit: values agree
      # to 1e-12 relative, counts exactly.
      if result=$(awk -v lf="$tmp/lw" -v wf="$tmp/ww" -v lc="$tmp/lc" -v wc="$tmp/wc" '
          function cmp(a, b, what,   x, y, n, d, s) {
            n = 0
            while ((getline x < a) > 0) {
              if ((getline y < b) <= 0) { bad = bad " " what " count"; return n }
              sub(/\r$/, "", y); n++
              d = x - y; if (d < 0) d = -d
              s = x < 0 ? -x : x; if (s < 1) s = 1
              if (d > 1e-12 * s) { bad = bad " " what " " n ": " x " vs " y; return n }
            }
            if ((getline y < b) > 0) bad = bad " " what " count"
            return n
          }
          BEGIN { w = cmp(lf, wf, "sample"); c = cmp(lc, wc, "clock time")
                  if (bad != "") { print "differs:" bad; exit 1 }
                  printf "%d samples and %d clock times as on Linux\n", w, c }'); then
        echo "$name ${params:-(defaults)}: $result"
      else
        echo "$name ${params:-(defaults)}: $result"
        status=1
      fi
      rm -rf "$tmp"
    done
  done
  exit $status
else
  echo "no Linux build in $linux: Linux and Windows output not compared"
fi
