#!/usr/bin/env bash
# Installs what is missing, builds the viewer and its tests with warnings as errors, and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_WARNINGS_AS_ERRORS=ON
cmake --build build --parallel
ctest --test-dir build --output-on-failure --parallel 2
