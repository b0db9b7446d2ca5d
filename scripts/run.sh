#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs the program.
#   scripts/run.sh              with a display: dscp.exe under Wine; without one: the
#                               report on the current folder
#   scripts/run.sh FOLDER       the report on FOLDER (dscp-report)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
if [ $# -eq 0 ] && [ -n "${DISPLAY:-}" ]; then
  bash "$root/scripts/build.sh" win32
  # A prefix of its own: the test prefix's windows are set up for a display without a
  # window manager.
  exec "$root/cmake/wine-run.sh" "$root/build/win32/wineprefix-run" \
    "$root/build/win32/src/app/dscp.exe"
fi
bash "$root/scripts/build.sh" linux
exec "$root/build/linux/src/cli/dscp-report" "${1:-.}"
