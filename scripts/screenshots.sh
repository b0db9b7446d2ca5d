#!/usr/bin/env bash
# Takes the user guide's screenshots from the running program under Wine, into
# docs/screenshots/ (re-run it whenever the program's look changes):
#   guide-folder.png   a drive of demo folders with their totals
#   guide-folder-150.png, guide-folder-200.png   the same at 150 % and 200 % display scale
#   guide-drives.png   the drive overview the program starts with
#   guide-size-on-disk.png  a folder of mail, documents and a virtual disk by bytes on disk
#   guide-panes.png    the demo drive with Largest Files and File Types, one type lit
#   guide-search.png   the demo drive with the Search pane: *.iso of at least 1 GB
#   guide-duplicates.png  the demo drive with the Duplicates pane: files of one size and bytes
#   guide-opened-scan.png  the saved scan of a month before opened, with its own tree
#   guide-compare.png  the demo drive compared with a saved scan of it from a month before
#   guide-changes.png  the Changes pane while a download grows and files come and go
#   about-box.png, docking-*.png   the About box and the docking panes
# The program runs in a Wine prefix of its own (build/PRESET/wineprefix-screenshots), where
# drive D: is a demo tree made here: sparse files, so large sizes take no room.
#   scripts/screenshots.sh        (uses DISPLAY when set, else a virtual display of its own)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
if bash scripts/runs-i386.sh; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target dscp_screenshots >/dev/null
build=$root/build/$preset
prefix=$build/wineprefix-screenshots
export DSCP_SCREENSHOT_PREFIX=$prefix
export WINEDLLOVERRIDES=winemenubuilder.exe=d

xvfb_pid=
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
source "$root/scripts/virtual_display.sh"

# The demo drive: what a user's data drive might hold.
demo=$build/screenshot-demo
rm -rf "$demo"
python3 - "$demo" <<'PY'
import os, sys
root = sys.argv[1]
MB = 1 << 20
tree = {
    "Videos/Holiday 2025": [("beach.mp4", 1900 * MB), ("harbour.mp4", 1250 * MB)],
    "Videos/Family": [("birthday.mp4", 870 * MB)],
    "Photos/2024": [("IMG_%04d.jpg" % i, 4 * MB + i * 37000) for i in range(180)],
    "Photos/2025": [("IMG_%04d.jpg" % i, 5 * MB + i * 41000) for i in range(240)],
    "Music/Albums/Blue Train": [("track%02d.flac" % i, 31 * MB + i * MB) for i in range(9)],
    "Music/Albums/Kind of Blue": [("track%02d.flac" % i, 38 * MB + i * MB) for i in range(5)],
    "Music/Podcasts": [("episode%03d.mp3" % i, 48 * MB) for i in range(12)],
    "Projects/website/images": [("hero%d.png" % i, 2 * MB) for i in range(14)],
    "Projects/website/src": [("page%02d.html" % i, 18000) for i in range(40)],
    "Projects/thesis": [("thesis.pdf", 12 * MB), ("thesis.docx", 3 * MB)],
    "Archive/2019": [("backup-2019.zip", 2300 * MB)],
    "Archive/2020": [("backup-2020.zip", 1400 * MB), ("dvd-collection.iso", 4400 * MB)],
    "Documents": [("tax-2025.pdf", 1200000), ("letter.docx", 45000), ("budget.xlsx", 180000)],
    "Downloads": [("installer.exe", 96 * MB), ("manual.pdf", 8 * MB),
                  ("linux-desktop-amd64.iso", 5900 * MB), ("rescue.iso", 380 * MB)],
    "Projects/vm": [("dev-machine.iso", 6100 * MB), ("dev-machine.vhdx", 2600 * MB)],
    "": [("notes.txt", 15300), ("disk-image.iso", 700 * MB)],
}
for folder, files in tree.items():
    path = os.path.join(root, folder)
    os.makedirs(path, exist_ok=True)
    for name, size in files:
        with open(os.path.join(path, name), "wb") as f:
            f.truncate(size)
PY
find "$demo" -exec touch -d "2026-11-03 09:41" {} +

# The same drive a month before, as a saved scan (ncdu's format): less in the holiday
# videos, the new photos and the new download not there yet, the virtual disk smaller,
# more podcasts, and a folder deleted since.
older=$build/screenshot-demo-older.json
python3 - "$demo" "$older" <<'PY'
import json, os, sys
demo, out = sys.argv[1], sys.argv[2]
MB = 1 << 20
left_out = {"Videos/Holiday 2025/harbour.mp4", "Downloads/linux-desktop-amd64.iso"}
left_out |= {"Photos/2025/IMG_%04d.jpg" % i for i in range(150, 240)}
sizes = {"Projects/vm/dev-machine.vhdx": 1400 * MB}
extra = {"Music/Podcasts": [("episode%03d.mp3" % i, 48 * MB) for i in range(12, 20)],
         "Downloads": [("old-setup.exe", 450 * MB)],
         "Old Stuff": [("old-backup.zip", 3200 * MB), ("photos-2019.zip", 900 * MB)]}
def folder(path, rel):
    entries = [{"name": os.path.basename(path) if rel else "D:\\"}]
    names = sorted(os.listdir(path)) if os.path.isdir(path) else []
    for name in names:
        full, sub = os.path.join(path, name), (rel + "/" + name).lstrip("/")
        if os.path.isdir(full):
            entries.append(folder(full, sub))
        elif sub not in left_out:
            entries.append({"name": name, "asize": sizes.get(sub, os.path.getsize(full))})
    for name, size in extra.get(rel, []):
        entries.append({"name": name, "asize": size})
    for sub in [f for f in extra if os.path.dirname(f) == rel and f.split("/")[-1] not in names]:
        entries.append(folder(os.path.join(path, sub.split("/")[-1]), sub))
    return entries
with open(out, "w") as f:
    json.dump([1, 2, {"progname": "dscp-report", "progver": "1", "timestamp": 1759500000},
               folder(demo, "")], f)
PY

bash cmake/wine-run.sh "$preset" "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
  /v Managed /d N /f >/dev/null 2>&1
rm -f "$prefix/dosdevices/d:"
ln -s "$demo" "$prefix/dosdevices/d:"
WINEPREFIX=$prefix wineserver -w # a server that is already up does not see the new drive

shots=$root/docs/screenshots
mkdir -p "$shots"
# The screenshot tool places the main window at 40,40 with a size of 860 x 560.
bash tests/win/grab_scene.sh "$build" "$shots/guide-folder.png" 860x560+40+40 main-window 'D:\'
# At 150 % and 200 %: the display's resolution is the prefix user's LogPixels, read by each
# new process. A window of 600 x 440 at 96 DPI fits the virtual screen at both.
set_dpi() {
  bash cmake/wine-run.sh "$preset" "$prefix" reg add 'HKCU\Control Panel\Desktop' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
set_dpi 144
bash tests/win/grab_scene.sh "$build" "$shots/guide-folder-150.png" 900x660+40+40 main-window 'D:\' \
  600 440
set_dpi 192
bash tests/win/grab_scene.sh "$build" "$shots/guide-folder-200.png" 1200x880+40+40 main-window 'D:\' \
  600 440
set_dpi 96
bash tests/win/grab_scene.sh "$build" "$shots/guide-drives.png" 860x560+40+40 drives
bash tests/win/grab_scene.sh "$build" "$shots/guide-panes.png" 1180x760+40+40 panes 'D:\' mp4
bash tests/win/grab_scene.sh "$build" "$shots/guide-search.png" 1180x760+40+40 search 'D:\' \
  '*.iso' '1 GB'
bash tests/win/grab_scene.sh "$build" "$shots/guide-compare.png" 1180x760+40+40 compare 'D:\' \
  "Z:$(echo "$older" | tr / '\\')"
bash tests/win/grab_scene.sh "$build" "$shots/guide-duplicates.png" 1180x760+40+40 duplicates 'D:\'
bash tests/win/grab_scene.sh "$build" "$shots/guide-opened-scan.png" 1000x680+40+40 opened-scan \
  "Z:$(echo "$older" | tr / '\\')"
# Size on Disk needs files that take room: many small mails (a block each, however short),
# a sparse virtual disk with a little written, and some documents all there.
ondisk=$(mktemp -d /tmp/dscp-ondisk.XXXXXX)
python3 - "$ondisk" <<'PY'
import os, sys
root = sys.argv[1]
for folder in ("Mail/Inbox", "Mail/Sent", "Virtual machines", "Documents"):
    os.makedirs(os.path.join(root, folder))
for i in range(1500):
    box = "Mail/Inbox" if i % 3 else "Mail/Sent"
    with open(os.path.join(root, box, "message%04d.eml" % i), "wb") as f:
        f.write(b"x" * (300 + i % 700))
with open(os.path.join(root, "Virtual machines", "dev-machine.vhdx"), "wb") as f:
    f.truncate(6 << 30)
    f.write(os.urandom(12 << 20))
for name, size in (("report.pdf", 9 << 20), ("budget.xlsx", 380000), ("notes.txt", 900)):
    with open(os.path.join(root, "Documents", name), "wb") as f:
        f.write(b"d" * size)
PY
# Shown as a drive of its own, as the demo is, so the tree pane holds nothing of this machine.
ln -sfn "$ondisk" "$prefix/dosdevices/e:"
WINEPREFIX=$prefix wineserver -w
bash tests/win/grab_scene.sh "$build" "$shots/guide-size-on-disk.png" 860x640+40+40 size-on-disk \
  'E:\'
rm -f "$prefix/dosdevices/e:"
rm -rf "$ondisk"
# The Changes scene writes into a folder of its own, gone afterwards.
changing=$(mktemp -d /tmp/dscp-changes.XXXXXX)
bash tests/win/grab_scene.sh "$build" "$shots/guide-changes.png" 1180x760+40+40 changes \
  "Z:$(echo "$changing" | tr / '\\')"
rm -rf "$changing"
bash tests/win/about_screenshot.sh "$build" "$shots/about-box.png"
bash tests/win/docking_screenshot.sh "$build" "$shots"
