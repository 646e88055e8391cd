#!/usr/bin/env bash
# Holds shader_quote.awk, the drift test's check of lesson 6's quote, to what it is for: it passes
# on the shader and the page as they are, also indented otherwise, and fails when a quoted line of
# the shader changes, when a line comes in between quoted ones, and when lesson 6 has no glsl
# block, even if another lesson has one.
# Usage: shader_quote_test.sh SOURCE_DIR
set -euo pipefail
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
require_tools awk sed grep
source=$1
check=$(dirname "$0")/shader_quote.awk

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source/platform/web/gl/shader.cpp" "$work/shader.cpp"
cp "$source/docs/LESSONS.md" "$work/LESSONS.md"

# Runs the check on a shader and a page; says whether it found fault as expected.
expect() {
  local outcome=$1 what=$2 shader=$3 page=$4 said
  said=$(awk -f "$check" "$shader" "$page")
  if [ "$outcome" = passes ] && [ -n "$said" ]; then
    fail "$what: the check complained: $said"
  elif [ "$outcome" = fails ] && [ -z "$said" ]; then
    fail "$what: the check passed"
  fi
}

# Edits a copy and makes sure the edit took, so that no case passes for want of its target.
edited() {
  local from=$1 to=$2 script=$3
  sed -E "$script" "$from" >"$to"
  ! cmp -s "$from" "$to" || { echo "the edit '$script' changed nothing in $from" >&2; exit 1; }
}

# Makes lesson 6's glsl fences plain ones; the $ is sed's last line, not the shell's.
# shellcheck disable=SC2016
unfence_lesson_6='/^## 6\. /,$s/^```glsl$/```/'

expect passes "the shader and the page as they are" "$work/shader.cpp" "$work/LESSONS.md"

edited "$work/shader.cpp" "$work/reindented.cpp" 's/^( +)(.*nDotL.*)$/\1\1\2   /'
expect passes "the shader indented otherwise" "$work/reindented.cpp" "$work/LESSONS.md"

edited "$work/shader.cpp" "$work/changed.cpp" 's/max\(nDotL, 0\.0\)/abs(nDotL)/'
expect fails "a quoted line of the shader changed" "$work/changed.cpp" "$work/LESSONS.md"

edited "$work/shader.cpp" "$work/inserted.cpp" '/float nDotL = /a\        nDotL *= 0.5;'
expect fails "a line inserted between quoted ones" "$work/inserted.cpp" "$work/LESSONS.md"

edited "$work/LESSONS.md" "$work/elsewhere.md" "$unfence_lesson_6"
expect fails "lesson 6 without a glsl block" "$work/shader.cpp" "$work/elsewhere.md"

# A glsl block in lesson 5 that is not in the shader must not stand in for lesson 6's.
awk '/^## 6\. /{ print "```glsl"; print "not a line of the shader"; print "```" } { print }' \
  "$work/LESSONS.md" >"$work/earlier.md"
expect passes "a glsl block before lesson 6" "$work/shader.cpp" "$work/earlier.md"
edited "$work/earlier.md" "$work/earlier-only.md" "$unfence_lesson_6"
expect fails "a glsl block only before lesson 6" "$work/shader.cpp" "$work/earlier-only.md"

[ "$failures" -eq 0 ] || exit 1
echo "the check of lesson 6's quote catches a shader that moved on"
