#!/usr/bin/env bash
# Renders the application icons from the viewer itself: the sphere, smooth-shaded with its
# highlight on, on a private Xvfb, cropped and scaled to the sizes installed under hicolor.
# Run it again and commit packaging/icons/ whenever the sphere's look changes.
set -euo pipefail
cd "$(dirname "$0")/.."

# /usr/local/bin/convert may be a stand-in; the real ImageMagick is asked for by path.
convert=/usr/bin/convert
build="build-pkg"
title="Orvane Assignment 3"
# The sphere is centred in the 600x600 window with a radius of about 139 pixels; the square
# keeps a few pixels of margin around it.
crop=288x288+156+156
sizes=(128 48)

for tool in Xvfb xdotool xwd "$convert"; do
  command -v "$tool" >/dev/null || { echo "render-icon: $tool is missing" >&2; exit 1; }
done

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target orvane-viewer -j2 >/dev/null

work=$(mktemp -d)
pids=()
# The viewer goes before its display server, so that it is not left to report the lost connection.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

source scripts/virtual-display.sh
start_virtual_display
pids+=("$xvfb_pid")

"$build/orvane-viewer" >/dev/null 2>"$work/viewer.log" &
pids+=($!)
if ! window=$(timeout 30 xdotool search --sync --name "$title" | head -n 1) || [ -z "$window" ]; then
  echo "render-icon: the viewer's window did not appear" >&2
  cat "$work/viewer.log" >&2
  exit 1
fi

capture() {
  xwd -silent -id "$window" >"$1"
}

centre_is_white() {
  [ "$("$convert" "xwd:$1" -format '%[pixel:p{300,300}]' info:)" = white ]
}

# Waits until the picture differs from $1 (when given) and holds still for two captures in a row,
# so that every key sent before has been drawn.
settle() {
  local before=${1:-}
  capture "$work/last.xwd"
  for _ in $(seq 100); do
    sleep 0.2
    capture "$work/now.xwd"
    if cmp -s "$work/now.xwd" "$work/last.xwd" && ! centre_is_white "$work/now.xwd" &&
      { [ -z "$before" ] || ! cmp -s "$work/now.xwd" "$before"; }; then
      return 0
    fi
    mv "$work/now.xwd" "$work/last.xwd"
  done
  echo "render-icon: the viewer's window never settled" >&2
  return 1
}

settle
cp "$work/now.xwd" "$work/faceted.xwd"
# Xvfb has no window manager, so nothing holds the focus; xdotool says so on every key and then
# sends it to the window all the same.
xdotool key --window "$window" s h 2>/dev/null
settle "$work/faceted.xwd"

mkdir -p packaging/icons
for size in "${sizes[@]}"; do
  # White is the clear colour and never part of the lit sphere, so it becomes the transparent
  # background; the date chunks are left out so that an unchanged picture gives the same file.
  "$convert" "xwd:$work/now.xwd" -crop "$crop" +repage -fuzz 2% -transparent white \
    -filter Lanczos -resize "${size}x${size}" -strip -define png:exclude-chunks=date,time \
    "PNG32:packaging/icons/orvane-viewer-$size.png"
  echo "packaging/icons/orvane-viewer-$size.png"
done
