#!/usr/bin/env bash
# Fails when docs/LESSONS.md no longer quotes what the viewer draws. It generates the lessons'
# numbers again into a temporary folder and checks that
#   - each equals the committed one in docs/lessons/numbers.txt; a pixel's colour may differ by one
#     step of 255, since llvmpipe's rounding can move with the CPU's vector instructions;
#   - the rendered shadow side, brightest pixel and highlight lie within one step of 255 of what GL's
#     lighting equation gives with the viewer's light and materials;
#   - docs/LESSONS.md is its template filled with the committed numbers, the browser-made ones
#     (BROWSER_) included: the browser suite measures those again, since this check runs no browser;
#   - lesson 6's quote of the browser's vertex shader is still in platform/web/gl/webgl.cpp.
# The pictures are not compared: their pixels are only as repeatable as llvmpipe on this CPU.
# Usage: check_lessons.sh RECORD_PROGRAM RENDER_PROGRAM SOURCE_DIR
set -euo pipefail
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
require_tools awk sort cmp
record=$1 render=$2 source=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$record" "$work" >/dev/null
"$render" "$work" --gtest_brief=1 >/dev/null
LC_ALL=C sort "$work/recorded.txt" "$work/measured.txt" >"$work/numbers.txt"

# One line per number that moved, appeared or went, and per pixel that strayed from the equation.
# PIXEL_ numbers are read from the rendered frames.
problems=$(awk '
  # Whether two lists of numbers differ by more than one step anywhere.
  function apart(a, b,    n, i, x, y) {
    n = split(a, x, /, /)
    if (n != split(b, y, /, /)) return 1
    for (i = 1; i <= n; i++) if (x[i] - y[i] > 1 || y[i] - x[i] > 1) return 1
    return 0
  }
  { key = $1; sub(/^[^ ]+ /, "") }
  NR == FNR && key ~ /^BROWSER_/ { next }
  NR == FNR { committed[key] = $0; next }
  {
    now[key] = $0
    if (!(key in committed)) print key ": new, " $0
    else if (key ~ /^PIXEL_/ ? apart($0, committed[key]) : $0 != committed[key])
      print key ": " committed[key] " is now " $0
    delete committed[key]
  }
  END {
    for (key in committed) print key ": no longer generated"
    equation["PIXEL_SHADOW"] = "SHADOW_255"
    equation["PIXEL_BRIGHT"] = "BRIGHT_FACET_255"
    equation["PIXEL_HIGHLIGHT"] = "HIGHLIGHT_255"
    for (pixel in equation) {
      if (split(now[pixel], channels, /, /) != 3 || apart(now[pixel], now[equation[pixel]]))
        print pixel " " now[pixel] " is more than 1/255 from " equation[pixel] " " now[equation[pixel]]
    }
  }
' "$source/docs/lessons/numbers.txt" "$work/numbers.txt")
[ -z "$problems" ] || fail "the lessons no longer quote what the viewer draws (run scripts/lessons.sh):
$problems"

if ! awk -f "$source/lessons/fill_template.awk" "$source/docs/lessons/numbers.txt" \
  "$source/lessons/LESSONS.md.in" >"$work/LESSONS.md" ||
  ! cmp -s "$work/LESSONS.md" "$source/docs/LESSONS.md"; then
  fail "docs/LESSONS.md is not lessons/LESSONS.md.in filled with docs/lessons/numbers.txt (run scripts/lessons.sh)"
fi

webgl=$source/platform/web/gl/webgl.cpp
quote=$(awk -f "$(dirname "$0")/shader_quote.awk" "$webgl" "$source/docs/LESSONS.md")
[ -z "$quote" ] || fail "lesson 6 no longer quotes the browser's vertex shader (copy its lines from
$webgl into lessons/LESSONS.md.in and run scripts/lessons.sh): $quote"

[ "$failures" -eq 0 ] || exit 1
echo "the lessons quote what the viewer draws"
