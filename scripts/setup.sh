#!/usr/bin/env bash
# Installs the Debian packages that are missing for building and running the viewer ("run"), for
# also building and running every test ("test"), for rendering the picture gallery ("gallery") or
# for the benchmarks ("bench").
set -euo pipefail

run_packages=(cmake make g++ libgl-dev libglu1-mesa-dev libglut-dev libgl1-mesa-dri libglx-mesa0
  xvfb xauth)
test_packages=("${run_packages[@]}" libgtest-dev xdotool x11-apps libx11-dev dpkg-dev
  desktop-file-utils man-db groff-base file)
gallery_packages=("${run_packages[@]}" xdotool imagemagick)
bench_packages=("${run_packages[@]}" libbenchmark-dev gnuplot-nox)

case "${1:-run}" in
run) wanted=("${run_packages[@]}") ;;
test) wanted=("${test_packages[@]}") ;;
gallery) wanted=("${gallery_packages[@]}") ;;
bench) wanted=("${bench_packages[@]}") ;;
*)
  echo "usage: $0 [run|test|gallery|bench]" >&2
  exit 2
  ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" != 'install ok installed' ]; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y -q --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -eq 0 ]; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${install[@]}"
elif command -v sudo >/dev/null 2>&1; then
  sudo apt-get update -q
  sudo DEBIAN_FRONTEND=noninteractive "${install[@]}"
else
  echo "Missing packages; install them as root with: ${install[*]}" >&2
  exit 1
fi
