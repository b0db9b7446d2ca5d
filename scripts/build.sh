#!/usr/bin/env bash
# Configures and builds a preset, quietly unless something fails: every target, or only
# the ones named.
#   build.sh PRESET [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
preset=$1
shift
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
log=$(mktemp)
if ! cmake --preset "$preset" >"$log" 2>&1 ||
  ! cmake --build --preset "$preset" "${targets[@]}" >>"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  echo "build of preset $preset failed" >&2
  exit 1
fi
# A build that succeeds still shows what the compilers warned about.
grep -A3 'warning:' "$log" >&2 || true
rm -f "$log"
echo "built preset $preset${1:+ ($*)}" >&2
