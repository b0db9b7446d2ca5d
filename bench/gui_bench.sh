#!/usr/bin/env bash
# Builds the Windows preset and times the program's windows under Wine (gui_bench): the
# folder tree expanding a folder of 10,000 subfolders, and the program showing a folder,
# by default the benchmark tree (bench/data/tree, generated once as compare.sh does), and
# going into its largest subfolder and back up after its scan (from what the scan walked),
# the treemap pane's picture of the whole tree once the scan has ended, and View > Size on
# Disk switched on and off on it.
# Each is run RUNS times, in a process of its own. With DSCP_DUPES_TREE naming a tree made
# by bench/make_dupes.py, the Duplicates pane's search of it is timed too.
#   bench/gui_bench.sh [RUNS] [FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
# The build this machine can run: the 32-bit one where it executes i386 code.
preset=win64
bash "$root/scripts/runs-i386.sh" && preset=win32
bash "$root/scripts/build.sh" "$preset"
build=$root/build/$preset
folder=${2:-$root/bench/data/tree}
if [ -z "${2:-}" ] && [ ! -f "$root/bench/data/.complete" ]; then
  rm -rf "$root/bench/data"
  mkdir -p "$root/bench/data"
  python3 "$root/bench/make_tree.py" "$folder"
  touch "$root/bench/data/.complete"
fi
wide=$(mktemp -d /tmp/dscp-wide.XXXXXX)
trap 'rm -rf "$wide"' EXIT
(cd "$wide" && printf 'folder%05d\n' $(seq 0 9999) | xargs mkdir)

wine_path() { local path; path=$(realpath "$1"); printf 'Z:%s' "${path//\//\\}"; }
run() { "$root/cmake/wine-run.sh" "$preset" "$build/wineprefix" "$@" 2>/dev/null; }
# Windows the prefix treats as managed would wait for a window manager when hidden.
run reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null
for _ in $(seq "$runs"); do
  run "$build/bench/gui_bench.exe" expand "$(wine_path "$wide")"
  run "$build/bench/gui_bench.exe" show "$(wine_path "$folder")"
  run "$build/bench/gui_bench.exe" drill "$(wine_path "$folder")"
  run "$build/bench/gui_bench.exe" treemap "$(wine_path "$folder")"
  run "$build/bench/gui_bench.exe" sizeondisk "$(wine_path "$folder")"
  if [ -n "${DSCP_DUPES_TREE:-}" ]; then
    run "$build/bench/gui_bench.exe" duplicates "$(wine_path "$DSCP_DUPES_TREE")"
  fi
done
