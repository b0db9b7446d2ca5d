#!/usr/bin/env bash
# Configures and builds the given presets, quietly unless something fails.
#   build.sh PRESET...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for preset in "$@"; do
  log=$(mktemp)
  if ! cmake --preset "$preset" >"$log" 2>&1 || ! cmake --build --preset "$preset" >>"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "build of preset $preset failed" >&2
    exit 1
  fi
  # A build that succeeds still shows what the compilers warned about.
  grep -A3 'warning:' "$log" >&2 || true
  rm -f "$log"
  echo "built preset $preset" >&2
done
