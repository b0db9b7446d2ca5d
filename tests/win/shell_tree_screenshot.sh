#!/usr/bin/env bash
# Takes the screenshot of the folder tree for the docs: the computer selected, C: open.
#   shell_tree_screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
# The tool places the tree's window at 40,40 with a size of 420 x 560.
bash "$(dirname "$0")/grab_scene.sh" "$1" "$2" 420x560+40+40 shell-tree
