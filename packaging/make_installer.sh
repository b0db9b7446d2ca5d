#!/usr/bin/env bash
# Makes the Windows installer of one architecture from two built programs.
#   make_installer.sh win32|win64 VERSION DSCP_EXE DSCP_REPORT_EXE OUT.exe
set -euo pipefail
arch=$1 version=$2 dscp=$3 report=$4 out=$(realpath -m "$5")
here=$(cd "$(dirname "$0")" && pwd)
stage=$(mktemp -d /tmp/dscp-installer.XXXXXX)
trap 'rm -rf "$stage"' EXIT
cp "$dscp" "$stage/dscp.exe"
cp "$report" "$stage/dscp-report.exe"
mkdir -p "$(dirname "$out")"
makensis -V2 -DVERSION="$version" -DARCH="$arch" -DSTAGE="$stage" -DOUTFILE="$out" \
  -DICON="$here/../src/app/res/dirscope.ico" "$here/dscp.nsi"
