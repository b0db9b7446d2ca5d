#!/usr/bin/env bash
# Builds dscp-report, generates the benchmark tree once (bench/data/tree), and times
# dscp-report against du -sb (and gdu and ncdu, installed here if missing) on it.
#   bench/compare.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
for tool in gdu ncdu; do
  command -v "$tool" >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -q "$tool" >/dev/null; } || true
done
bash "$root/scripts/build.sh" linux
tree=$root/bench/data/tree
if [ ! -f "$root/bench/data/.complete" ]; then
  rm -rf "$root/bench/data"
  mkdir -p "$root/bench/data"
  python3 "$root/bench/make_tree.py" "$tree"
  touch "$root/bench/data/.complete"
fi
python3 "$root/bench/compare.py" "$tree" "$root/build/linux/src/cli/dscp-report" --runs "${1:-7}"
