# Shared by the shell checks of the build and the package: sourced, not run.

# Stops at once when a tool the check relies on is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
  done
}

# Records a failure and goes on, so one run reports every fault it finds.
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
