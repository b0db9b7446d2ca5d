#!/usr/bin/env bash
# Builds the NTFS file table reader's libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it on a corpus seeded with the tables of volumes
# mkntfs makes.
#   scripts/fuzz_ntfs.sh [RUNS]   (default: 1,000,000 runs)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
out=$here/build/fuzz
mkdir -p "$out/ntfs_corpus"
for tool in clang++ mkntfs python3; do
  command -v $tool >/dev/null || { echo "$tool is not installed (apt-get install clang ntfs-3g python3)" >&2; exit 1; }
done
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$here/src/ntfs" -I"$here/src/scan" \
  "$here/tests/fuzz/file_table_fuzz.cpp" "$here"/src/ntfs/{boot_sector,data_runs,file_record,file_table,table_snapshot}.cpp \
  "$here/src/scan/folder_snapshot.cpp" "$here/src/scan/snapshot_merge.cpp" \
  "$here/src/scan/snapshot_level.cpp" "$here/src/scan/snapshot_builder.cpp" \
  "$here/src/scan/path_text.cpp" -o "$out/file_table_fuzz"
# Seeds: the first records of a fresh volume's table, moved to where the target's own boot
# sector puts it (the target's volumes are 4 KiB clusters, 1 KiB records).
seed=$(mktemp -d)
trap 'rm -rf "$seed"' EXIT
truncate -s 2M "$seed/v.img"
mkntfs -F -f -q -c 4096 "$seed/v.img" >/dev/null 2>&1
python3 - "$seed/v.img" "$out/ntfs_corpus/fresh" <<'PY'
import struct, sys
image = open(sys.argv[1], 'rb').read()
cluster = struct.unpack_from('<H', image, 0x0B)[0] * image[0x0D]
table = struct.unpack_from('<Q', image, 0x30)[0]
clusters = struct.unpack_from('<Q', image, 0x28)[0] * struct.unpack_from('<H', image, 0x0B)[0] // cluster
records = image[table * cluster: table * cluster + 32 * 1024]
open(sys.argv[2], 'wb').write(struct.pack('<QQ', table, clusters - 1) + records)
PY
"$out/file_table_fuzz" -runs="$runs" -max_len=40000 -timeout=10 -artifact_prefix="$out/" "$out/ntfs_corpus"
