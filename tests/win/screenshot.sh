#!/usr/bin/env bash
# Takes the screenshot of the main window showing a folder for the docs: makes a small
# folder and has the screenshot tool show it, chosen in the folder tree.
#   screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
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
# The tool places the window at 40,40 with a size of 860 x 560.
bash "$(dirname "$0")/grab_scene.sh" "$1" "$2" 860x560+40+40 main-window "Z:${demo//\//\\}"
