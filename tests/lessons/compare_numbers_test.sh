#!/usr/bin/env bash
# Holds compare_numbers.awk, the drift test's comparison, to what it is for: it passes on the
# committed numbers, whose browser-made ones the generator does not make; a pixel may move one step
# of 255 from its committed value but not two, and any other number not at all; and each pixel of
# equation_pixels.txt fails when it lies two steps from its equation, even when the committed
# number moved with it, or when its equation is gone.
# Usage: compare_numbers_test.sh SOURCE_DIR
set -euo pipefail
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
require_tools awk grep
here=$(dirname "$0")
committed=$1/docs/lessons/numbers.txt

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What the generator writes: all but the browser's numbers.
numbers=$work/numbers.txt
grep -v '^BROWSER_' "$committed" >"$numbers"

# Compares new numbers with committed ones; says whether it found fault as expected, and, where it
# should have, whether it named the key.
expect() {
  local outcome=$1 what=$2 committed=$3 now=$4 key=${5:-} said
  said=$(awk -f "$here/compare_numbers.awk" "$here/equation_pixels.txt" "$committed" "$now")
  if [ "$outcome" = passes ] && [ -n "$said" ]; then
    fail "$what: the comparison complained: $said"
  elif [ "$outcome" = fails ] && ! grep -q "^${key}[: ]" <<<"$said"; then
    fail "$what: the comparison did not name $key: ${said:-nothing}"
  fi
}

# A copy of the numbers with KEY set to VALUE, or left out when VALUE is empty. Fails the case when
# KEY is not there, so that none passes for want of its target.
edited() {
  local key=$1 value=$2 out=$3
  awk -v key="$key" -v value="$value" '
    $1 == key { found = 1; if (value == "") next; $0 = key " " value }
    { print }
    END { exit !found }' "$numbers" >"$out" || fail "no $key in $numbers"
}

expect passes "the committed numbers" "$committed" "$numbers"

edited PIXEL_BRIGHT_SMOOTH "90, 171, 232" "$work/one-step.txt"
expect passes "a pixel one step from its committed colour" "$numbers" "$work/one-step.txt"
edited PIXEL_BRIGHT_SMOOTH "91, 171, 232" "$work/two-steps.txt"
expect fails "a pixel two steps from its committed colour" "$numbers" "$work/two-steps.txt" \
  PIXEL_BRIGHT_SMOOTH
edited FACETS 801 "$work/facets.txt"
expect fails "a count one away from the committed one" "$numbers" "$work/facets.txt" FACETS

# Every pixel held against the equation: at the equation's colour rounded, then two steps off it
# in red, with the committed number moved alike, then with the equation's colour missing.
grep -v '^#' "$here/equation_pixels.txt" | while read -r pixel equation; do
  worked=$(awk -v key="$equation" '$1 == key { sub(/^[^ ]+ /, ""); print }' "$numbers")
  rounded=$(awk -v c="$worked" 'BEGIN {
    n = split(c, x, /, /)
    for (i = 1; i <= n; i++) printf "%s%d", (i > 1 ? ", " : ""), int(x[i] + 0.5)
  }')
  edited "$pixel" "$rounded" "$work/on.txt"
  expect passes "$pixel at $equation rounded" "$work/on.txt" "$work/on.txt"
  edited "$pixel" "$(awk -v c="$rounded" 'BEGIN { split(c, x, /, /); print x[1] + 2 ", " x[2] ", " x[3] }')" \
    "$work/off.txt"
  expect fails "$pixel two steps from $equation" "$work/off.txt" "$work/off.txt" "$pixel"
  edited "$equation" "" "$work/gone.txt"
  expect fails "$pixel without $equation" "$work/gone.txt" "$work/gone.txt" "$pixel"
done

[ "$failures" -eq 0 ] || exit 1
echo "the drift test's comparison finds what it should"
