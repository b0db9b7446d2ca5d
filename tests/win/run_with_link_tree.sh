#!/usr/bin/env bash
# Runs a Windows test program with a folder tree that holds a link back to its own
# top, which Wine shows as a reparse point (Wine cannot create one itself).
#   run_with_link_tree.sh PROGRAM EMULATOR...
set -euo pipefail
program=$1
shift
tree=$(mktemp -d /tmp/dscp-links.XXXXXX)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/top/real"
head -c 100 /dev/zero >"$tree/top/real/data"
ln -s "$tree/top" "$tree/top/real/loop"
DSCP_LINK_TREE="Z:${tree//\//\\}\\top" "$@" "$program"
