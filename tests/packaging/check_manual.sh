#!/usr/bin/env bash
# Checks the manual page: groff and man render it without a single warning, and it lists every key
# and mouse gesture in the words of the help the viewer prints.
# Usage: check_manual.sh MANUAL_PAGE VIEWER_BINARY
set -euo pipefail
page=$1
viewer=$2

source "$(dirname "$0")/../support/checks.sh"
require_tools groff man

# Both stop at nothing short of a fatal error, so any text on standard error is the failure.
if ! warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1) || [ -n "$warnings" ]; then
  fail "groff warns about $page:"$'\n'"$warnings"
fi
if ! warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null) ||
  [ -n "$warnings" ]; then
  fail "man warns about $page:"$'\n'"$warnings"
fi

# Rendered as plain ASCII on lines long enough never to break, with runs of spaces squeezed, so
# that each entry reads on one line as the help writes it.
text=$(groff -man -Tascii -P-cbou -rLL=1000n "$page" 2>/dev/null | tr -s ' ' | sed 's/^ //; s/ $//')
help=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$viewer" 2>/dev/null) || true
entries=0
while IFS= read -r line; do
  [[ $line == *": "* ]] || continue
  entries=$((entries + 1))
  grep -qxF -- "$line" <<<"$text" || fail "the manual page has no entry '$line'"
done <<<"$help"
[ "$entries" -gt 0 ] || fail "the viewer printed no key or gesture lines: '$help'"

[ "$failures" -eq 0 ]
