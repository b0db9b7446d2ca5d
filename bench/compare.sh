#!/usr/bin/env bash
# Builds dscp-report, generates the benchmark tree once (bench/data/tree), and times
# dscp-report against du -sb (and gdu and ncdu, which scripts/setup.sh installs) on it; with a
# second argument, also against another build of dscp-report (e.g. the previous commit's).
#   bench/compare.sh [RUNS] [BASELINE_DSCP_REPORT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" linux
tree=$root/bench/data/tree
if [ ! -f "$root/bench/data/.complete" ]; then
  rm -rf "$root/bench/data"
  mkdir -p "$root/bench/data"
  python3 "$root/bench/make_tree.py" "$tree"
  touch "$root/bench/data/.complete"
fi
baseline=()
[ -n "${2:-}" ] && baseline=(--baseline "$2")
python3 "$root/bench/compare.py" "$tree" "$root/build/linux/src/cli/dscp-report" --runs "${1:-7}" \
  "${baseline[@]}"
