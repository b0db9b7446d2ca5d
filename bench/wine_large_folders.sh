#!/usr/bin/env bash
# Times, under Wine, what one folder of many files costs the Windows builds:
#  - dscp-report.exe on folders of 1,000 and 10,000 files (target: the larger at most
#    12 x the smaller), in interleaved runs;
#  - the program opening a folder of 200,000 files (gui_bench open): how long ShowFolder
#    takes and the longest the list went without answering another thread meanwhile
#    (target: at most 1.5 s), with messages handled as the program does and, interleaved,
#    never (as the program did before it handled any while showing a folder).
# Expects a display (DISPLAY) and a running wineserver for the prefix, as the tests do.
#   bench/wine_large_folders.sh [win32|win64] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-win32}
runs=${2:-3}
build=$root/build/$arch
run() { bash "$root/cmake/wine-run.sh" "$arch" "$build/wineprefix" "$@"; }
data=$(mktemp -d /tmp/dscp-bench.XXXXXX)
trap 'rm -rf "$data"' EXIT
python3 - "$data" <<'PY'
import os, sys
root = sys.argv[1]
exts = [".txt", ".dat", ".log", ".jpg", ".c", ".h", ".bin", ""]
for name, count in (("f1000", 1000), ("f10000", 10000), ("f200000", 200000)):
    os.makedirs(os.path.join(root, name))
    for i in range(count):
        open(os.path.join(root, name, "file%06d%s" % (i, exts[i % len(exts)])), "wb").close()
PY
win() { echo "Z:${1//\//\\}"; }
report=$build/src/cli/dscp-report.exe
declare -A times
for ((r = 0; r < runs; ++r)); do
  for n in 1000 10000; do
    start=$(date +%s.%N)
    run "$report" "$(win "$data/f$n")" >/dev/null 2>&1
    times[$n]+="$(echo "$(date +%s.%N) - $start" | bc) "
  done
done
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
m1=$(echo "${times[1000]}" | median)
m10=$(echo "${times[10000]}" | median)
echo "dscp-report.exe ($arch), $runs runs: 1,000 files ${times[1000]}(median $m1 s);" \
  "10,000 files ${times[10000]}(median $m10 s); ratio $(echo "scale=2; $m10 / $m1" | bc)"
for ((r = 0; r < runs; ++r)); do
  for mode in never ""; do
    run "$build/bench/gui_bench.exe" open "$(win "$data/f200000")" $mode 2>/dev/null
  done
done
