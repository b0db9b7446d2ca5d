#!/usr/bin/env bash
# Runs a Windows test program with two trees made natively (far faster than under
# Wine): a large one, and a small one whose subfolders have the same names and hold
# nothing, so a cell written by a scan of the large tree into the small list shows.
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
PY
DSCP_SCAN_TREE="Z:${tree//\//\\}" "$@" "$program"
