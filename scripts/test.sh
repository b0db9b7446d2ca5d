#!/usr/bin/env bash
# Every test: installs what is missing, builds the native, sanitizer and both Windows
# presets, and runs their tests (the Windows ones under Wine, in one prefix per build
# tree, with one virtual display for the whole run).
#
# The 64-bit Windows tests run on every machine. The 32-bit ones run where this machine
# executes i386 code (scripts/runs-i386.sh; DSCP_NO_I386=1 takes the other path anywhere)
# and 32-bit Wine is installed; elsewhere the 32-bit binaries are still built and checked
# without running them.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# A group setup could not install fails the tests that need it (each names what is
# missing), not the whole run.
setup_status=0
bash scripts/setup.sh || setup_status=1

# The 32-bit Windows tests need both: a kernel that executes i386 code, and 32-bit Wine.
skip_win32_reason=
if ! bash scripts/runs-i386.sh; then
  if [ -n "${DSCP_NO_I386:-}" ] && [ "$DSCP_NO_I386" != 0 ]; then
    skip_win32_reason="DSCP_NO_I386 is set"
  else
    skip_win32_reason="this machine cannot execute i386 code"
  fi
elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  skip_win32_reason="32-bit Wine (wine32:i386) is not installed"
fi
if [ -z "$skip_win32_reason" ]; then
  windows_presets=(win32 win64)
else
  windows_presets=(win64)
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
  run_tests=1
  targets=()
  if [[ $preset == win* ]] && [[ " ${windows_presets[*]} " != *" $preset "* ]]; then
    # Only the shipped binaries: the tests that would run them cannot.
    run_tests=0
    targets=(dscp dscp-report CorvidReg)
  fi
  if ! bash scripts/build.sh "$preset" "${targets[@]}"; then
    status=1
    continue
  fi
  case $preset in
    win32 | win64)
      if [ "$run_tests" -eq 1 ]; then
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
if [ "$setup_status" -ne 0 ]; then
  echo "test: setup could not install everything (see its lines above)" >&2
  status=1
fi
exit $status
