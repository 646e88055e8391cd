#!/usr/bin/env bash
# Fails when docs/LESSONS.md no longer quotes what the viewer draws. It generates the lessons'
# numbers again into a temporary folder and checks that
#   - each equals the committed one in docs/lessons/numbers.txt; a pixel's colour may differ by one
#     step of 255, since llvmpipe's rounding can move with the CPU's vector instructions;
#   - the rendered pixels listed in equation_pixels.txt (lesson 1's shadow side and brightest pixel,
#     lesson 3's highlight, lesson 7's frames) lie within one step of 255 of what GL's lighting
#     equation gives with the light and materials of their frame;
#   - docs/LESSONS.md is its template filled with the committed numbers, the browser-made ones
#     (BROWSER_) included: the browser suite measures those again, since this check runs no browser;
#   - lesson 6's quote of the browser's lighting equation is still in platform/web/gl/shader.cpp;
#   - the lines of src/ the web page's lighting lab quotes are still there (lab/quote.mjs).
# The pictures are not compared: their pixels are only as repeatable as llvmpipe on this CPU.
# Usage: check_lessons.sh RECORD_PROGRAM RENDER_PROGRAM SOURCE_DIR
set -euo pipefail
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
require_tools awk sort cmp node
record=$1 render=$2 source=$3
here=$(dirname "$0")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$record" "$work" >/dev/null
"$render" "$work" --gtest_brief=1 >/dev/null
LC_ALL=C sort "$work/recorded.txt" "$work/measured.txt" >"$work/numbers.txt"

problems=$(awk -f "$here/compare_numbers.awk" "$here/equation_pixels.txt" \
  "$source/docs/lessons/numbers.txt" "$work/numbers.txt")
[ -z "$problems" ] || fail "the lessons no longer quote what the viewer draws (run scripts/lessons.sh):
$problems"

if ! awk -f "$source/lessons/fill_template.awk" "$source/docs/lessons/numbers.txt" \
  "$source/lessons/LESSONS.md.in" >"$work/LESSONS.md" ||
  ! cmp -s "$work/LESSONS.md" "$source/docs/LESSONS.md"; then
  fail "docs/LESSONS.md is not lessons/LESSONS.md.in filled with docs/lessons/numbers.txt (run scripts/lessons.sh)"
fi

shader=$source/platform/web/gl/shader.cpp
quote=$(awk -f "$here/shader_quote.awk" "$shader" "$source/docs/LESSONS.md")
[ -z "$quote" ] || fail "lesson 6 no longer quotes the browser's lighting equation (copy its lines from
$shader into lessons/LESSONS.md.in and run scripts/lessons.sh): $quote"

lab=$(node "$source/platform/web/lab/quote.mjs" "$source" --check 2>&1) ||
  fail "the lighting lab quotes what src/ no longer has: $lab"

[ "$failures" -eq 0 ] || exit 1
echo "the lessons quote what the viewer draws"
