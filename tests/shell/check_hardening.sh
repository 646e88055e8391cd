#!/usr/bin/env bash
# Checks that the viewer is built hardened: a position-independent executable with a stack
# protector and full RELRO, compiled with _FORTIFY_SOURCE and optimisation.
# Usage: check_hardening.sh VIEWER_BINARY COMPILE_COMMANDS_JSON
set -euo pipefail
binary=$1
commands=$2

source "$(dirname "$0")/../support/checks.sh"
require_tools readelf

# Each listing is read whole before it is searched: with pipefail, `readelf | grep -q` fails
# whenever grep stops at its match while readelf is still writing.
header=$(readelf -h "$binary")
dynamic=$(readelf -d "$binary")
segments=$(readelf -l "$binary")
symbols=$(readelf --dyn-syms -W "$binary")
grep -Eq 'Type:[[:space:]]+DYN' <<<"$header" || fail "not a position-independent executable"
grep -Eq 'FLAGS_1.*PIE' <<<"$dynamic" || fail "no PIE flag"
grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "symbols are bound lazily: RELRO is only partial"
grep -q GNU_RELRO <<<"$segments" || fail "no RELRO segment"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "no stack protector"

# The binary itself calls no function that has a checked variant, so whether _FORTIFY_SOURCE was
# on shows in how each of its sources was compiled.
sources=0
while read -r command; do
  sources=$((sources + 1))
  grep -q -- '-D_FORTIFY_SOURCE=2' <<<"$command" || fail "compiled without _FORTIFY_SOURCE: $command"
  grep -Eq -- ' -O[123s]' <<<"$command" || fail "compiled without optimisation: $command"
done < <(grep '"command"' "$commands" | grep '/src/')
[ "$sources" -gt 0 ] || fail "no compile commands for the viewer's sources in $commands"

[ "$failures" -eq 0 ]
