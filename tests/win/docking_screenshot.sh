#!/usr/bin/env bash
# Takes the docs' screenshots of the sizing bars: docked on the left and bottom with a hot
# close button, on the right and top with a pressed one, floating in a mini frame, and an
# edge in the middle of a drag. The in-process test lays the bars out, moves and presses
# the mouse, and holds the state on the display while the screen is grabbed.
#   docking_screenshot.sh BUILD_DIR OUTPUT_DIR      (DISPLAY must name a running X server)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
for state in docked docked2 floating resizing; do
  name=docking-$state
  [ "$state" = docked2 ] && name=docking-docked-right-top
  DSCP_SCREENSHOT_MS=5000 DSCP_SCREENSHOT_STATE=$state \
    "$root/cmake/wine-run.sh" "$build/wineprefix" "$build/tests/win/docking_win_tests.exe" \
    --gtest_filter='*Screenshot*' >/dev/null &
  runner=$!
  sleep 4
  # The test places the frame at 40,40 with a size of 700 x 460.
  import -window root -crop 700x460+40+40 +repage "$out/$name.png"
  wait "$runner"
  echo "wrote $out/$name.png"
done
