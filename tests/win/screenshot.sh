#!/usr/bin/env bash
# Takes the screenshot of the main window showing a folder for the docs: makes a small
# folder, holds the window on the display with the in-process test, grabs the screen.
#   screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
demo=$(mktemp -d /tmp/dscp-demo.XXXXXX)
trap 'rm -rf "$demo"' EXIT
mkdir -p "$demo"/{Documents,Downloads,Music,Pictures,Projects}
head -c 15300 /dev/zero >"$demo/notes.txt"
head -c 2400000 /dev/zero >"$demo/report.pdf"
head -c 734003 /dev/zero >"$demo/setup.exe"
head -c 1900000 /dev/zero >"$demo/photo.jpg"
head -c 800 /dev/zero >"$demo/readme.md"
head -c 51200 /dev/zero >"$demo/budget.xls"
touch -d "2026-11-03 09:41" "$demo"/*
touch -d "2026-10-21 18:02" "$demo/Documents" "$demo/Music"

DSCP_SCREENSHOT_FOLDER="Z:${demo//\//\\}" DSCP_SCREENSHOT_MS=5000 \
  "$root/cmake/wine-run.sh" "$build/wineprefix" "$build/tests/win/dscp_app_tests.exe" \
  --gtest_filter='*Screenshot*' >/dev/null &
runner=$!
sleep 3.5
# The test places the window at 40,40 with a size of 860 x 560.
import -window root -crop 860x560+40+40 +repage "$out"
wait "$runner"
echo "wrote $out"
