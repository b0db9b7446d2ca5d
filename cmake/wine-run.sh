#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix private to one build tree.
#   wine-run.sh win32|win64 PREFIX PROGRAM [ARGS...]
# The prefix is created on first use (once, even when ctest runs tests in parallel), for
# the given architecture; each architecture keeps a prefix of its own.
# Without a DISPLAY the program runs under xvfb-run; test scripts normally start one
# Xvfb for the whole run instead, which is much faster.
set -euo pipefail

arch=$1
prefix=$(realpath -m "$2")
shift 2

# Each loader is named by its path: Debian's "wine" starts the 32-bit loader whenever
# wine32 is installed, even on a machine that cannot execute i386 code. The loader is
# also what Wine starts for a child process of the same architecture.
case $arch in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run: unknown architecture '$arch' (win32 or win64)" >&2; exit 2 ;;
esac
export WINELOADER=$loader
export WINEPREFIX=$prefix
export WINEARCH=$arch
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
    "$loader" wineboot.exe -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wine-run: could not create $prefix" >&2; exit 1; }
    touch "$prefix/.ready"
  fi
  flock -u 9
  exec 9>&-
fi

# Debian's Wine looks for its own fonts (Marlett, Tahoma, ...) in a folder that does not
# exist (the data folder with "\../fonts" appended), so a prefix sees none of them: caption
# buttons show the letters of Marlett's glyphs and dialogs fall back to other faces. Fonts
# in the prefix's Fonts folder are always found, so they are copied there, once per prefix
# (a prefix made before this step gets them on its next use).
wine_fonts=/usr/share/wine/fonts
fonts_dir=$prefix/drive_c/windows/Fonts
if [ -f "$wine_fonts/marlett.ttf" ] && [ ! -f "$fonts_dir/marlett.ttf" ]; then
  exec 9>"$prefix.lock"
  flock 9
  if [ ! -f "$fonts_dir/marlett.ttf" ]; then
    mkdir -p "$fonts_dir"
    # marlett.ttf last: its presence says the copy is complete.
    find "$wine_fonts" -maxdepth 1 -type f ! -name marlett.ttf -exec cp -f {} "$fonts_dir/" \;
    cp -f "$wine_fonts/marlett.ttf" "$fonts_dir/"
  fi
  flock -u 9
  exec 9>&-
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$loader" "$@"
fi
exec "$loader" "$@"
