#!/usr/bin/env bash
# Runs a Windows test program at 96, 144 and 192 DPI, in a Wine prefix of its own beside the
# test prefix, so that the rest of the suite keeps 96: the display's resolution is the
# user's LogPixels, which each new process reads. DSCP_TEST_DPI tells the program the one set.
#   run_at_dpi.sh PROGRAM wine-run.sh ARCH PREFIX
set -euo pipefail
program=$1
runner=$2
arch=$3
prefix=$4-dpi

wine() { "$runner" "$arch" "$prefix" "$@"; }

# Unmanaged windows: without a window manager Wine waits for one at every hide.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
status=0
for dpi in 96 144 192; do
  echo "== at $dpi DPI"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  DSCP_TEST_DPI=$dpi wine "$program" || status=1
done
exit $status
