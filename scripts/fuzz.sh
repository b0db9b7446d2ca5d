#!/usr/bin/env bash
# Builds the saved-scan reader's libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it on a corpus seeded with real exports.
#   scripts/fuzz.sh [RUNS]   (default: 1,000,000 runs)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
out=$here/build/fuzz
mkdir -p "$out/corpus"
command -v clang++ >/dev/null || { echo "clang++ is not installed (apt-get install clang)" >&2; exit 1; }
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$here/src/scan" -I"$here/src/scanfile" \
  "$here/tests/fuzz/saved_scan_fuzz.cpp" "$here/src/scanfile/json_input.cpp" \
  "$here/src/scanfile/saved_scan_reader.cpp" "$here/src/scan/folder_snapshot.cpp" \
  "$here/src/scan/snapshot_merge.cpp" "$here/src/scan/snapshot_level.cpp" \
  "$here/src/scan/snapshot_builder.cpp" "$here/src/scan/path_text.cpp" \
  -o "$out/saved_scan_fuzz"
# Seeds: what ncdu, gdu and dscp-report write for a small tree.
seed=$(mktemp -d)
trap 'rm -rf "$seed"' EXIT
mkdir -p "$seed/t/a/b" && printf 'x' >"$seed/t/a/f" && printf 'yy' >"$seed/t/a/b/g"
ln "$seed/t/a/f" "$seed/t/h"
command -v ncdu >/dev/null && ncdu --ignore-config -e -o "$out/corpus/ncdu.json" "$seed/t" 2>/dev/null
command -v gdu >/dev/null && gdu -o "$out/corpus/gdu.json" "$seed/t" >/dev/null 2>&1
[ -x "$here/build/linux/src/cli/dscp-report" ] &&
  "$here/build/linux/src/cli/dscp-report" --json -o "$out/corpus/dscp.json" "$seed/t" 2>/dev/null
"$out/saved_scan_fuzz" -runs="$runs" -max_len=4096 -dict="$here/tests/fuzz/saved_scan.dict" \
  "$out/corpus"
