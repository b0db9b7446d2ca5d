#!/usr/bin/env bash
# Every test: installs what is missing, builds the native, sanitizer and both Windows
# presets, and runs their tests (the Windows ones under Wine, in one prefix per build
# tree, with one virtual display for the whole run).
#
# The 64-bit Windows tests run on every machine. The 32-bit ones run where this machine
# executes i386 code (scripts/runs-i386.sh; DSCP_NO_I386=1 takes the other path anywhere);
# where it does not, the 32-bit binaries are still built and checked without running them.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1

if bash scripts/runs-i386.sh; then
  windows_presets=(win32 win64)
  skip_win32_reason=
else
  windows_presets=(win64)
  if [ -n "${DSCP_NO_I386:-}" ] && [ "$DSCP_NO_I386" != 0 ]; then
    skip_win32_reason="DSCP_NO_I386 is set"
  else
    skip_win32_reason="this machine cannot execute i386 code"
  fi
fi

xvfb_pid=
cleanup() {
  local preset
  for preset in win32 win64; do
    if [ -d "build/$preset/wineprefix" ]; then
      WINEPREFIX="$root/build/$preset/wineprefix" wineserver -k 2>/dev/null || true
    fi
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT

source "$root/scripts/virtual_display.sh"

# The Windows tests of one build share one Wine prefix and one wineserver for the whole
# run. The server and Wine's background services are started here, detached from ctest's
# output pipes: started by a test, they would inherit that test's pipes and keep ctest
# waiting long after the test has ended.
start_wineserver() {
  local preset=$1
  local prefix=$root/build/$preset/wineprefix
  bash cmake/wine-run.sh "$preset" "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1  # creates the prefix
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  WINEPREFIX=$prefix wineserver -w
  WINEPREFIX=$prefix wineserver -p </dev/null >/dev/null 2>&1
  bash cmake/wine-run.sh "$preset" "$prefix" cmd /c exit 0 </dev/null >/dev/null 2>&1  # starts the services
}

status=0
for preset in linux linux-asan linux-tsan win32 win64; do
  echo "=== $preset" >&2
  if ! bash scripts/build.sh "$preset"; then
    status=1
    continue
  fi
  case $preset in
    win32 | win64)
      if [[ " ${windows_presets[*]} " == *" $preset "* ]]; then
        start_wineserver "$preset"
        ctest --preset "$preset" -j2 || status=1
        WINEPREFIX="$root/build/$preset/wineprefix" wineserver -k 2>/dev/null
      else
        echo "test: the 32-bit Windows tests were skipped: $skip_win32_reason;" \
          "the 32-bit binaries are checked without running them" >&2
        ctest --preset "$preset" -L static --no-tests=error || status=1
      fi
      ;;
    *) ctest --preset "$preset" -j2 || status=1 ;;
  esac
done
exit $status
