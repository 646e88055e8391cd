#!/usr/bin/env bash
# Writes docs/LESSONS.md again, with every picture, plot and number in docs/lessons/, from the
# viewer itself: its frames rendered on Mesa, its calls recorded through the tests' stand-in for
# GL, its web site's frame in headless Chromium (lesson 6), and the text filled in from
# lessons/LESSONS.md.in. Run it after changing the viewer, its web layer or the lessons; the
# lessons' drift test and the browser suite fail until the results are committed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh lessons
cmake -S . -B build-lessons -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF \
  -DORVANE_BUILD_LESSONS=ON >/dev/null
cmake --build build-lessons --target lessons_record lessons_render --parallel 2 >/dev/null
scripts/build-web.sh >/dev/null
tests/web/tools/install_packages.sh >/dev/null

mkdir -p docs/lessons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build-lessons/lessons/lessons_record "$work" >/dev/null
build-lessons/lessons/lessons_render "$work" --gtest_brief=1 >/dev/null
# Held against the Mesa frame just rendered, so both sides come from this run.
node tests/web/tools/lesson_shader.mjs build-web "$work/shader-mesa.ppm" "$work" >"$work/browser.txt"
LC_ALL=C sort "$work/recorded.txt" "$work/measured.txt" "$work/browser.txt" \
  >docs/lessons/numbers.txt

# PNGs without time stamps, so that the same frames give the same files.
rm -f docs/lessons/*.png
for frames in "$work"/*.ppm; do
  name=$(basename "$frames" .ppm)
  marks=()
  if [ -f "$work/$name.mvg" ]; then
    marks=(-draw "$(cat "$work/$name.mvg")")
  fi
  convert "$frames" "${marks[@]}" -strip -define png:exclude-chunks=date,time \
    "docs/lessons/$name.png"
done
for plot in specular stack_depth; do
  gnuplot -e "folder='$work'; output='docs/lessons/${plot//_/-}.png'" "lessons/$plot.gp"
done

awk -f lessons/fill_template.awk docs/lessons/numbers.txt lessons/LESSONS.md.in >docs/LESSONS.md
# The site's lessons page is made from this page, so that it quotes these numbers too.
scripts/build-web.sh >/dev/null
echo "docs/LESSONS.md"
ls docs/lessons/*.png
