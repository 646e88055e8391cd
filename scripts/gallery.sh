#!/usr/bin/env bash
# Renders the pictures in docs/ from the real viewer on a virtual display, driven with keys and
# drags as a person would drive it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh gallery
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target orvane-viewer --parallel >/dev/null

source scripts/virtual-display.sh
start_virtual_display
export LP_NUM_THREADS=1
build/orvane-viewer >/dev/null &
viewer=$!
trap 'kill $viewer $xvfb_pid 2>/dev/null' EXIT

window=$(xdotool search --sync --onlyvisible --name '^Orvane Assignment 3$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 5)) $((Y + 5)) # the focus follows the pointer without a window manager

# Saves the window once two captures in a row agree, so the frame is complete.
shot() {
  local previous="" current
  while current=$(xwd -silent -id "$window" | md5sum) && [ "$current" != "$previous" ]; do
    previous=$current
    sleep 0.3
  done
  import -window "$window" "docs/$1.png"
  echo "docs/$1.png"
}

# drag BUTTON FROM_X FROM_Y TO_X TO_Y, in window pixels
drag() {
  xdotool mousemove $((X + $2)) $((Y + $3)) mousedown "$1" \
    mousemove $((X + $4)) $((Y + $5)) mouseup "$1"
}

shot sphere-flat
xdotool key 2 && shot cylinder-flat
xdotool key 4 && shot tree-flat
xdotool key 3 && drag 3 300 590 300 10 && shot ladder-flat # zoomed out to 0.42 to fit
drag 3 300 10 300 590                               # back to zoom 1
drag 3 300 50 300 550 && xdotool key w && shot ladder-wireframe # close up at zoom 1.5
drag 3 300 550 300 50 && xdotool key p                          # back to zoom 1
xdotool key 1 s h && shot sphere-smooth-highlight
xdotool key 4 && drag 1 300 300 340 260 && shot tree-smooth-highlight-rotated
xdotool key q
