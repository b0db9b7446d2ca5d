#!/usr/bin/env bash
# Takes the docs' screenshots of the sizing bars: docked (one at the left, one at the
# bottom) and floating in a mini frame. The in-process test lays the bars out and holds
# them on the display while the screen is grabbed.
#   docking_screenshot.sh BUILD_DIR OUTPUT_DIR      (DISPLAY must name a running X server)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
for state in docked floating; do
  DSCP_SCREENSHOT_MS=4000 DSCP_SCREENSHOT_STATE=$state \
    "$root/cmake/wine-run.sh" "$build/wineprefix" "$build/tests/win/docking_win_tests.exe" \
    --gtest_filter='*Screenshot*' >/dev/null &
  runner=$!
  sleep 3
  # The test places the frame at 40,40 with a size of 700 x 460.
  import -window root -crop 700x460+40+40 +repage "$out/docking-$state.png"
  wait "$runner"
  echo "wrote $out/docking-$state.png"
done
