#!/usr/bin/env bash
# Runs a Windows test program with two trees made natively (far faster than under
# Wine): a large one, and a small one whose subfolders have the same names and hold
# nothing, so a cell written by a scan of the large tree into the small list shows; a
# folder of names that differ only in case, which Wine cannot make itself; and a folder
# of 20,000 empty files, which takes the program a while to show; and a folder whose first
# subfolder holds one file and whose eight others 5,000 empty files each.
#   run_with_scan_tree.sh PROGRAM EMULATOR...
set -euo pipefail
program=$1
shift
tree=$(mktemp -d /tmp/dscp-scan.XXXXXX)
trap 'rm -rf "$tree"' EXIT
python3 - "$tree" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(24):
    name = "dir%02d" % d
    os.makedirs(os.path.join(root, "small", name))
    for s in range(40):
        sub = os.path.join(root, "large", name, "sub%02d" % s)
        os.makedirs(sub)
        for f in range(25):
            with open(os.path.join(sub, "f%02d.dat" % f), "wb") as out:
                out.truncate(1000 * (d + 1) + f)
# Names that differ only in case, as a case-sensitive file system has them.
for name, size in (("Dup", 5000), ("dup", 100), ("data", 3000)):
    os.makedirs(os.path.join(root, "case", name))
    with open(os.path.join(root, "case", name, "inner"), "wb") as out:
        out.truncate(size)
with open(os.path.join(root, "case", "DATA"), "wb") as out:
    out.truncate(7)
# A folder whose first subfolder is scanned at once and whose others take a while.
os.makedirs(os.path.join(root, "follow", "a"))
with open(os.path.join(root, "follow", "a", "first.txt"), "wb") as out:
    out.truncate(10)
for d in "bcde":
    for s in range(50):
        sub = os.path.join(root, "follow", d, "sub%02d" % s)
        os.makedirs(sub)
        for f in range(100):
            open(os.path.join(sub, "f%02d.dat" % f), "wb").close()
os.makedirs(os.path.join(root, "many"))
for i in range(20000):
    open(os.path.join(root, "many", "file%05d%s" % (i, (".txt", ".dat", "")[i % 3])), "wb").close()
PY
DSCP_SCAN_TREE="Z:${tree//\//\\}" "$@" "$program"
