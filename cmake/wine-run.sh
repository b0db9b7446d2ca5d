#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix private to one build tree.
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix is created on first use (once, even when ctest runs tests in parallel).
# Without a DISPLAY the program runs under xvfb-run; test scripts normally start one
# Xvfb for the whole run instead, which is much faster.
set -euo pipefail

prefix=$(realpath -m "$1")
shift

export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko installer dialog that waits for a click.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$prefix/.ready" ]; then
    rm -rf "$prefix"
    echo "wine-run: creating Wine prefix $prefix" >&2
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wine-run: could not create $prefix" >&2; exit 1; }
    touch "$prefix/.ready"
  fi
  flock -u 9
  exec 9>&-
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a wine "$@"
fi
exec wine "$@"
