#!/usr/bin/env bash
# Runs a Windows test program with a folder of 10,000 subfolders made natively (under
# Wine making them takes most of a minute).
#   run_with_wide_folder.sh PROGRAM EMULATOR...
set -euo pipefail
program=$1
shift
tree=$(mktemp -d /tmp/dscp-wide.XXXXXX)
trap 'rm -rf "$tree"' EXIT
(cd "$tree" && mkdir -p wide && cd wide && printf 'folder%05d\n' $(seq 0 9999) | xargs mkdir)
DSCP_WIDE_FOLDER="Z:${tree//\//\\}\\wide" "$@" "$program"
