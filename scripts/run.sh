#!/usr/bin/env bash
# Installs what is missing, builds Quillon and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build"
if [ -x "$root/build/app/quillon" ]; then
  exec "$root/build/app/quillon" "$@"
fi
echo "Quillon's libraries and tests are built; the application itself is not built yet."
