#!/usr/bin/env bash
# Takes the docs' screenshots of the sizing bars: docked on the left and bottom with a hot
# close button, on the right and top with a pressed one, floating in a mini frame, and an
# edge in the middle of a drag. The screenshot tool lays the bars out and moves and presses
# the mouse.
#   docking_screenshot.sh BUILD_DIR OUTPUT_DIR      (DISPLAY must name a running X server)
set -euo pipefail
mkdir -p "$2"
for state in docked docked2 floating resizing; do
  name=docking-$state
  [ "$state" = docked2 ] && name=docking-docked-right-top
  # The tool places the frame at 40,40 with a size of 700 x 460.
  bash "$(dirname "$0")/grab_scene.sh" "$1" "$2/$name.png" 700x460+40+40 docking "$state"
done
