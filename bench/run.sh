#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks, times the viewer's frames on Mesa beside the
# floor and the peer, draws docs/performance.png from docs/performance.csv, and times the CPU side
# of a frame. An argument sets the number of timed frames per median (101 by default).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh bench

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_BENCHMARKS=ON \
  -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench --parallel >/dev/null

build-bench/bench/frame_bench docs/performance.csv "$@"
gnuplot -e "data='docs/performance.csv'; output='docs/performance.png'" bench/performance.gp
echo
echo "Chart: docs/performance.png"
echo
# Medians of five runs: the CPU figures move by several per cent from run to run on a shared machine.
build-bench/bench/cpu_bench --benchmark_repetitions=5 --benchmark_display_aggregates_only=true
