#!/usr/bin/env bash
# Every test: installs what is missing, builds the native, sanitizer and Windows
# presets, and runs their tests (the Windows ones under Wine, in one prefix per
# build tree, with one virtual display for the whole run).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1

xvfb_pid=
cleanup() {
  if [ -d build/win32/wineprefix ]; then
    WINEPREFIX="$root/build/win32/wineprefix" wineserver -k 2>/dev/null || true
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  rm -f "$display_file"
fi

# The Windows tests share one Wine prefix and one wineserver for the whole run. The
# server and Wine's background services are started here, detached from ctest's output
# pipes: started by a test, they would inherit that test's pipes and keep ctest waiting
# long after the test has ended.
start_wineserver() {
  local prefix=$root/build/win32/wineprefix
  bash cmake/wine-run.sh "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1  # creates the prefix
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  WINEPREFIX=$prefix wineserver -w
  WINEPREFIX=$prefix wineserver -p </dev/null >/dev/null 2>&1
  bash cmake/wine-run.sh "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1  # starts the services
}

status=0
for preset in linux linux-asan linux-tsan win32; do
  echo "=== $preset" >&2
  if bash scripts/build.sh "$preset"; then
    [ "$preset" = win32 ] && start_wineserver
    ctest --preset "$preset" -j2 || status=1
  else
    status=1
  fi
done
exit $status
