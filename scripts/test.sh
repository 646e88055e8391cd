#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the release build, and
# under AddressSanitizer and UndefinedBehaviorSanitizer, where any finding fails its test.
# Warnings are errors in both. The release build also runs the end-to-end suite on the Windows
# build, under Wine, and the browser suite on the web build, in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test
scripts/build-windows.sh >/dev/null
scripts/build-web.sh >/dev/null

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=ON -DORVANE_WARNINGS_AS_ERRORS=ON \
  -DORVANE_WINDOWS_EXE="$PWD/build-windows/orvane-viewer.exe" -DORVANE_WEB_SITE="$PWD/build-web"
cmake --build build --parallel
ctest --test-dir build --output-on-failure --parallel 2

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BUILD_TESTS=ON -DORVANE_SANITIZE=ON \
  -DORVANE_WARNINGS_AS_ERRORS=ON
cmake --build build-sanitize --parallel
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize --output-on-failure --parallel 2
