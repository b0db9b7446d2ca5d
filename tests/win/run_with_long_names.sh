#!/usr/bin/env bash
# Runs a Windows test program with a folder whose entries have names of 100 bytes that
# are not UTF-8: Wine hands each such byte to the program as U+FFFD, three UTF-8 bytes,
# so the program sees names of 300 bytes and more (Linux itself allows at most 255).
# Wine finds such a name again by comparing the converted names, so the two long names
# differ in more than those bytes.
#   run_with_long_names.sh PROGRAM EMULATOR...
set -euo pipefail
program=$1
shift
tree=$(mktemp -d /tmp/dscp-long.XXXXXX)
trap 'rm -rf "$tree"' EXIT
python3 - "$tree" <<'PY'
import os, sys
root = os.fsencode(sys.argv[1])
os.makedirs(os.path.join(root, b"long", b"\xfe" * 100))
with open(os.path.join(root, b"long", b"\xfe" * 100, b"inner"), "wb") as out:
    out.write(b"x" * 3000)
with open(os.path.join(root, b"long", b"\xfd" * 100 + b".txt"), "wb") as out:
    out.write(b"x" * 7)
with open(os.path.join(root, b"long", b"short.txt"), "wb") as out:
    out.write(b"x" * 5)
PY
DSCP_LONG_NAMES="Z:${tree//\//\\}\\long" "$@" "$program"
