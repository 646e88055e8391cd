#!/usr/bin/env bash
# Installs what is missing, builds the viewer and starts it, on a virtual display when there is
# no real one. Arguments are handed to the viewer (GLUT reads its own options from them).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target orvane-viewer --parallel >/dev/null

if [ -z "${DISPLAY:-}" ]; then
  source scripts/virtual-display.sh
  start_virtual_display
  trap 'kill $xvfb_pid 2>/dev/null' EXIT
  echo "No display found: running on the virtual X display $DISPLAY (Xvfb)." >&2
  build/orvane-viewer "$@"
else
  exec build/orvane-viewer "$@"
fi
