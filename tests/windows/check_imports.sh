#!/usr/bin/env bash
# Checks that the Windows build stands alone: a console program that imports nothing but DLLs
# every Windows has, with ASLR and DEP on.
# Usage: check_imports.sh OBJDUMP VIEWER_EXE
set -euo pipefail
objdump=$1
exe=$2

source "$(dirname "$0")/../support/checks.sh"

headers=$("$objdump" -p "$exe")
system_dlls='KERNEL32|USER32|GDI32|ADVAPI32|OPENGL32|GLU32|WINMM|msvcrt'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ -n "$imports" ] || fail "no imports listed: not a PE program?"
for dll in $imports; do
  grep -Eqix "($system_dlls)\.dll" <<<"$dll" || fail "imports $dll, which is not a Windows system DLL"
done
grep -Eq 'Subsystem[[:space:]]+00000003' <<<"$headers" || fail "not a console program"
grep -q DYNAMIC_BASE <<<"$headers" || fail "no ASLR (DYNAMIC_BASE)"
grep -q NX_COMPAT <<<"$headers" || fail "no DEP (NX_COMPAT)"

[ "$failures" -eq 0 ]
