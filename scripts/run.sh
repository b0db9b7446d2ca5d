#!/usr/bin/env bash
# The main job: installs what is missing, builds, and reports on a folder.
#   scripts/run.sh [FOLDER]     (default: the current folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" linux
exec "$root/build/linux/src/cli/dscp-report" "${1:-.}"
