#!/usr/bin/env bash
# Installs what a fresh machine lacks for building and testing (Debian).
# Usage: scripts/deps.sh [windows]
set -euo pipefail
need=()
have_pkg() { dpkg -s "$1" >/dev/null 2>&1; }
for p in cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev binutils; do
  have_pkg "$p" || need+=("$p")
done
if [ "${1:-}" = windows ]; then
  for p in g++-mingw-w64-x86-64-posix wine64; do
    have_pkg "$p" || need+=("$p")
  done
fi
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
