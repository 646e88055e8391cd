#!/usr/bin/env bash
# Installs what is missing, builds the viewer and starts it, on a virtual display when there is
# no real one. Arguments are handed to the viewer (GLUT reads its own options from them).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target orvane-viewer --parallel >/dev/null

if [ -z "${DISPLAY:-}" ]; then
  exec {ready}<> <(:)
  Xvfb -displayfd "$ready" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  read -r -u "$ready" number
  export DISPLAY=":$number"
  echo "No display found: running on the virtual X display $DISPLAY (Xvfb)." >&2
  build/orvane-viewer "$@"
else
  exec build/orvane-viewer "$@"
fi
