#!/usr/bin/env bash
# Installs what is missing, builds Quillon twice (normal, and with the
# address and undefined-behaviour sanitizers) and runs every test in both.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
jobs="$(nproc)"

# The display tests (label x11) run on a virtual X server of their own, one
# at a time: they share its pointer, keyboard and clipboard.
x11() { xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; }

bash "$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" --timeout 300 -LE x11)
(cd "$root/build" && x11 ctest --output-on-failure --timeout 300 -L x11)

bash "$root/scripts/build.sh" "$root/build-asan" -DQUILLON_SANITIZE=ON -DQUILLON_BENCHMARKS=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$jobs" --timeout 600 -LE x11)
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   LSAN_OPTIONS="suppressions=$root/scripts/lsan-display.supp" x11 ctest --output-on-failure --timeout 600 -L x11)
echo "all tests passed (normal and sanitizer builds)"
