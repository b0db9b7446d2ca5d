#!/usr/bin/env bash
# Times the program watching a folder that changes 10,000 times a second (gui_bench watch
# with bench/change_load.py beside it, outside Wine, on the folder Wine sees): the waits for
# the window, its resident memory over the run, and how soon a file's growth shows.
#   bench/watch_bench.sh [SECONDS] [WHERE] [RATE]
# The watched folder holds a tree of 30,000 files; the load runs in its subfolder WHERE
# (default build/obj; "." for the shown folder itself) once the program's scan has ended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
where=${2:-build/obj}
rate=${3:-10000}
preset=win64
cmake --build --preset "$preset" --target gui_bench >/dev/null
build=$root/build/$preset
folder=$(mktemp -d /tmp/dscp-watch.XXXXXX)
trap 'rm -rf "$folder" "$folder.ready"' EXIT
python3 "$root/bench/make_tree.py" "$folder/tree" --folders 2000 --files 30000 >/dev/null
mkdir -p "$folder/$where"

wine_path() { local path; path=$(realpath -m "$1"); printf 'Z:%s' "${path//\//\\}"; }
run() { "$root/cmake/wine-run.sh" "$preset" "$build/wineprefix" "$@" 2>/dev/null; }
# Windows the prefix treats as managed would wait for a window manager when hidden.
run reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null
python3 "$root/bench/change_load.py" "$folder/$where" "$seconds" --rate "$rate" \
  --ready "$folder.ready" &
load=$!
status=0
run "$build/bench/gui_bench.exe" watch "$(wine_path "$folder")" "$seconds" \
  "$(wine_path "$folder.ready")" || status=$?
# Without the program the load never starts: it is stopped rather than waited for.
[ -e "$folder.ready" ] || kill "$load"
wait "$load" || status=$?
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$status"
