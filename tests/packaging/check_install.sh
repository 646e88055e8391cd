#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs from it: exactly the
# expected files, a binary that runs, icons of the sizes their folders name, a menu entry that
# validates and points at the installed binary and icon, and the manual page as written.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
cmake=$1
build=$2
source=$3

source "$(dirname "$0")/../support/checks.sh"
require_tools desktop-file-validate file gzip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
"$cmake" --install "$build" --prefix "$stage" >/dev/null

expected=(
  bin/orvane-viewer
  share/applications/orvane-viewer.desktop
  share/icons/hicolor/128x128/apps/orvane-viewer.png
  share/icons/hicolor/48x48/apps/orvane-viewer.png
  share/man/man1/orvane-viewer.1.gz
)
if ! difference=$(diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . ! -type d |
  sed 's|^\./||' | sort)); then
  fail "installed files differ from the expected ones (< missing, > unexpected):"$'\n'"$difference"
fi

binary=$stage/bin/orvane-viewer
if [ -f "$binary" ]; then
  [ -x "$binary" ] || fail "bin/orvane-viewer is not executable"
  # Without a display the viewer prints its help and then stops in GLUT, so this exercises the
  # installed binary's loading and linking without opening a window.
  first_line=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 10 "$binary" 2>/dev/null | head -n 1) || true
  [ "$first_line" = "Orvane Lab 3" ] ||
    fail "the installed binary did not print its help (first line: '$first_line')"
fi

for icon in "$stage"/share/icons/hicolor/*/apps/orvane-viewer.png; do
  [ -f "$icon" ] || continue
  size=$(basename "$(dirname "$(dirname "$icon")")")
  description=$(file -b "$icon")
  [[ $description == "PNG image data, ${size/x/ x }, "* ]] ||
    fail "${icon#"$stage"/} is not a ${size} PNG: $description"
done

manual=$stage/share/man/man1/orvane-viewer.1.gz
if [ -f "$manual" ]; then
  gzip -dc "$manual" | cmp -s - "$source/packaging/orvane-viewer.1" ||
    fail "the installed manual page is not packaging/orvane-viewer.1"
fi

entry=$stage/share/applications/orvane-viewer.desktop
if [ -f "$entry" ]; then
  # Hints count too: one about two main categories means the program shows up twice in menus.
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate rejects the entry"
  [ -z "$report" ] || fail "desktop-file-validate reports:"$'\n'"$report"

  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  command_name=${exec_line%% *}
  [ -x "$stage/bin/$command_name" ] ||
    fail "Exec names '$command_name', which is not an installed program"
  icon_name=$(sed -n 's/^Icon=//p' "$entry")
  for size in 48x48 128x128; do
    [ -f "$stage/share/icons/hicolor/$size/apps/$icon_name.png" ] ||
      fail "Icon names '$icon_name', which has no installed $size icon"
  done
fi

[ "$failures" -eq 0 ]
