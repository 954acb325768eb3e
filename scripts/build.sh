#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures (once) and builds.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"; shift
export CCACHE_DIR="${CCACHE_DIR:-$root/.ccache}"
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
