#!/usr/bin/env bash
# Times frames of the ladder and the tree in headless Chromium against the native viewer on Mesa's
# llvmpipe, in one run, with the browser's WebGL drawn by each renderer it has here (SwiftShader,
# and llvmpipe through EGL; both on the CPU): builds both programs from the one timing loop in
# frame_times.cpp, runs the three in turn twice, and prints their results as JSON lines between two
# readings of the machine's load. The argument sets the timed frames per setting (31 by default).
# A benchmark to read, not a test: it checks nothing.
set -euo pipefail
cd "$(dirname "$0")/../.."
frames=${1:-31}

scripts/setup.sh web
tests/web/tools/install_packages.sh >/dev/null

emcmake cmake -S platform/web -B build-web-bench -DCMAKE_BUILD_TYPE=Release \
  -DORVANE_WEB_SITE="$PWD/build-web-bench/site" -DORVANE_WEB_TESTS=OFF -DORVANE_WEB_BENCH=ON >/dev/null
cmake --build build-web-bench --parallel 2 --target browser_frames >/dev/null
cmake -S bench/web -B build-web-bench-native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web-bench-native --parallel 2 --target native_frames >/dev/null

echo "load before: $(uptime)"
for round in 1 2; do
  build-web-bench-native/native_frames "$frames"
  for renderer in swiftshader llvmpipe; do
    node bench/web/browser_frames.mjs build-web-bench/bench-page "$frames" "$renderer"
  done
done
echo "load after: $(uptime)"
