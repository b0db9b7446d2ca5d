#!/usr/bin/env bash
# Takes the screenshot of the About box for the docs: the screenshot tool opens it over the
# main window.
#   about_screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
# The tool places the main window at 40,40 with a size of 700 x 420.
bash "$(dirname "$0")/grab_scene.sh" "$1" "$2" 700x420+40+40 about
