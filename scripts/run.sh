#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs the program.
#   scripts/run.sh              with a display: dscp.exe under Wine (the 32-bit build where
#                               this machine executes i386 code and has 32-bit Wine, else
#                               the 64-bit one);
#                               without one: the report on the current folder
#   scripts/run.sh FOLDER       the report on FOLDER (dscp-report)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# What could not be installed is named by setup; the build below then says what it lacks.
bash "$root/scripts/setup.sh" || echo "run: setup could not install everything; trying anyway" >&2
if [ $# -eq 0 ] && [ -n "${DISPLAY:-}" ]; then
  if bash "$root/scripts/runs-i386.sh" &&
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    preset=win32
  else
    preset=win64
  fi
  echo "run: starting the ${preset#win}-bit dscp.exe (build/$preset)" >&2
  bash "$root/scripts/build.sh" "$preset"
  # A prefix of its own: the test prefix's windows are set up for a display without a
  # window manager.
  exec "$root/cmake/wine-run.sh" "$preset" "$root/build/$preset/wineprefix-run" \
    "$root/build/$preset/src/app/dscp.exe"
fi
bash "$root/scripts/build.sh" linux
exec "$root/build/linux/src/cli/dscp-report" "${1:-.}"
