#!/usr/bin/env bash
# Installs what is missing, builds Quillon and starts it. On a machine
# without a display it runs the demonstration script instead, in a new
# folder quillon-demo/ of the current directory, and lists what it made.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" "$root/build"
program="$root/build/app/quillon"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ $# -gt 0 ]; then
  exec "$program" "$@"
fi

# No display: the demonstration, never over a file of the user's.
demo="quillon-demo"
n=1
while [ -e "$demo" ] || [ -L "$demo" ]; do
  n=$((n + 1))
  demo="quillon-demo-$n"
done
mkdir "$demo"
# The program runs from a link in the folder, so its settings file
# (quillon.INI) is the demonstration's own.
ln -s "$program" "$demo/quillon"
echo "No display: running the demonstration script scripts/demo.qis in $demo/"
(cd "$demo" && ./quillon --script "$root/scripts/demo.qis")
echo "Made in $(cd "$demo" && pwd):"
(cd "$demo" && ls -1 | grep -v '^quillon$' | sed 's/^/  /')
