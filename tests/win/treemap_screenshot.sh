#!/usr/bin/env bash
# Takes the screenshot of the main window with the treemap pane for the docs: makes a
# folder that looks like a user's (sparse files, so it takes no room) and has the
# screenshot tool show it, chosen in the folder tree.
#   treemap_screenshot.sh BUILD_DIR OUTPUT.png      (DISPLAY must name a running X server)
set -euo pipefail
demo=$(mktemp -d /tmp/dscp-treemap-demo.XXXXXX)
trap 'rm -rf "$demo"' EXIT
python3 - "$demo" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(7)
MB = 1 << 20
def make(path, size):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.truncate(int(size))
make("Videos/holiday-2025.mp4", 1900 * MB)
make("Videos/conference-talk.mkv", 720 * MB)
for i in range(24):
    make(f"Videos/clips/clip-{i:02}.mp4", rng.uniform(20, 90) * MB)
for a in range(10):
    for t in range(12):
        make(f"Music/album-{a:02}/track-{t:02}.mp3", rng.uniform(3, 9) * MB)
    make(f"Music/album-{a:02}/cover.jpg", rng.uniform(0.2, 0.6) * MB)
for year in (2023, 2024, 2025):
    for i in range(120):
        make(f"Pictures/{year}/IMG_{i:04}.jpg", rng.uniform(2, 6) * MB)
    for i in range(15):
        make(f"Pictures/{year}/edit-{i:02}.png", rng.uniform(4, 12) * MB)
make("Downloads/debian-12.iso", 650 * MB)
for i in range(8):
    make(f"Downloads/archive-{i}.zip", rng.uniform(10, 120) * MB)
for i in range(20):
    make(f"Downloads/paper-{i:02}.pdf", rng.uniform(0.3, 4) * MB)
make("Projects/dscp/.git/objects/pack/pack-1.pack", 160 * MB)
for i in range(60):
    make(f"Projects/dscp/src/file{i:02}.cpp", rng.uniform(4, 40) * 1024)
    make(f"Projects/dscp/build/file{i:02}.o", rng.uniform(0.2, 1.5) * MB)
for i in range(30):
    make(f"Documents/report-{i:02}.pdf", rng.uniform(0.2, 6) * MB)
    make(f"Documents/sheet-{i:02}.xlsx", rng.uniform(0.05, 2) * MB)
make("notes.txt", 15 * 1024)
PY
# The tool places the window at 40,40 with a size of 1000 x 720.
bash "$(dirname "$0")/grab_scene.sh" "$1" "$2" 1000x760+40+40 treemap "Z:${demo//\//\\}"
