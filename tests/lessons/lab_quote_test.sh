#!/usr/bin/env bash
# Holds the lab's quote of the program (platform/web/lab/quote.mjs --check, which the site's build
# and the drift test run) to what it is for: it passes on src/ as it is, and fails, naming the
# line, when a line the lab quotes or relies on is gone or no longer gives its numbers, or when two
# constants the lab tells apart by their values come to pass the same.
# Usage: lab_quote_test.sh SOURCE_DIR
set -euo pipefail
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"
require_tools node sed cmp
source=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each row: what is done to a copy of src/, the file, the sed script, and words the check must say
# ("" where it must pass).
rows=(
  "as it is|src/shell/lighting.cpp||"
  "a constant renamed|src/shell/lighting.cpp|s/LIGHT_POSITION\[\]/LIGHT_PLACE[]/|LIGHT_POSITION"
  "a value gone|src/geometry/materials.cpp|s/(HIGHLIGHT_SHININESS =) 100.0f/\1 SHINY/|HIGHLIGHT_SHININESS"
  "the call that passes BLACK changed|src/geometry/materials.cpp|s/GL_EMISSION, BLACK/GL_EMISSION, NONE/|GL_EMISSION, BLACK"
  "no place for the added calls|src/shell/lighting.cpp|/glEnable\(GL_LIGHT0\)/d|glEnable(GL_LIGHT0)"
  "two diffuse colours alike|src/geometry/materials.cpp|s/(SPHERE_DIFFUSE\[\] =) \{[^}]*\}/\1 {0.7f, 0.7f, 0.1f, 1.0f}/|cannot tell them apart"
)
for row in "${rows[@]}"; do
  IFS='|' read -r what file script words <<<"$row"
  rm -rf "$work/src"
  cp -r "$source/src" "$work/src"
  if [ -n "$script" ]; then
    sed -E -i "$script" "$work/$file"
    ! cmp -s "$source/$file" "$work/$file" || { echo "$what: the edit changed nothing" >&2; exit 1; }
  fi
  if said=$(node "$source/platform/web/lab/quote.mjs" "$work" --check 2>&1); then
    [ -z "$words" ] || fail "$what: the check passed"
  elif [ -z "$words" ]; then
    fail "$what: the check complained: $said"
  elif [[ "$said" != *"$words"* ]]; then
    fail "$what: the check does not name '$words': $said"
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "the lab's quote check fails where the program's lines move"
