#!/usr/bin/env bash
# Takes the screenshot of the About box for the docs: the in-process test opens it over
# the main window and holds it on the display while the screen is grabbed.
#   about_screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
DSCP_SCREENSHOT_MS=5000 \
  "$root/cmake/wine-run.sh" "$build/wineprefix" "$build/tests/win/dscp_commands_tests.exe" \
  --gtest_filter='*AboutScreenshot*' >/dev/null &
runner=$!
sleep 4
# The test places the main window at 40,40 with a size of 700 x 420.
import -window root -crop 700x420+40+40 +repage "$out"
wait "$runner"
echo "wrote $out"
