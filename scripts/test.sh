#!/usr/bin/env bash
# Installs what is missing, builds Quillon twice (normal, and with the
# address and undefined-behaviour sanitizers) and runs every test in both.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
jobs="$(nproc)"

bash "$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" --timeout 300)

bash "$root/scripts/build.sh" "$root/build-asan" -DQUILLON_SANITIZE=ON -DQUILLON_BENCHMARKS=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$jobs" --timeout 600)
echo "all tests passed (normal and sanitizer builds)"
