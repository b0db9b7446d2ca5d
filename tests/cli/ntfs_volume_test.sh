#!/usr/bin/env bash
# dscp-report under Wine on a real NTFS volume: one drive letter with the volume's image as
# its raw device (so the report reads the volume's file table) and another on the same
# mounted folder without one (so it walks); both must report the same tree, to the byte.
#   ntfs_volume_test.sh PROGRAM EMULATOR...   (the emulator is cmake/wine-run.sh ARCH PREFIX)
set -uo pipefail

source "$(dirname "$0")/../../scripts/ntfs_image.sh"
ntfs_wine_test "$@"
work=$(mktemp -d /tmp/dscp-ntfs-wine.XXXXXX)
mnt=$work/mnt
# Letters no other test uses; the prefix is shared, so they go again at the end.
raw=n
plain=o
cleanup() {
  rm -f "$prefix/dosdevices/$raw:" "$prefix/dosdevices/$raw::" "$prefix/dosdevices/$plain:"
  ntfs_unmount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

mount_image() {
  ntfs_mount "$work/volume.img" "$mnt" "${1:-}" || { echo "FAIL: ntfs-3g did not mount the image" >&2; exit 1; }
}

mkdir -p "$mnt"
truncate -s 192M "$work/volume.img"
mkntfs -F -f -q "$work/volume.img" >/dev/null 2>&1 || { echo "FAIL: mkntfs" >&2; exit 1; }
mount_image ""
python3 - "$mnt" <<'PY'
import os, sys
root = sys.argv[1]
def write(path, size):
    with open(path, 'wb') as f:
        f.write(bytes((i * 7) % 251 for i in range(size)))
os.makedirs(f'{root}/tree/deep/' + '/'.join(f'level{i}' for i in range(30)))
for size in (0, 1, 600, 4095, 4096, 4097, 123457, 2000000):
    write(f'{root}/tree/size {size}', size)
for folder in range(40):
    os.makedirs(f'{root}/tree/wide/f{folder}')
    for i in range(60):
        write(f'{root}/tree/wide/f{folder}/file{i}.dat', (folder * 61 + i * 13) % 9000)
for i in range(0, 400, 2):
    os.remove(f'{root}/tree/wide/f{i % 40}/file{i // 40}.dat')
with open(f'{root}/tree/sparse', 'wb') as f:
    f.truncate(1 << 30)
    f.seek(5 << 20)
    f.write(b'data')
write(f'{root}/tree/linked', 54321)
os.link(f'{root}/tree/linked', f'{root}/tree/wide/f3/linked too')
os.link(f'{root}/tree/linked', f'{root}/tree/deep/linked again')
for name in ('café', '日本語', 'emoji 😀', 'x' * 240):
    write(f'{root}/tree/{name}', len(name))
os.makedirs(f'{root}/tree/empty')
PY
# Mounted afresh and read-only, the volume is what its image holds.
ntfs_unmount "$mnt"
mount_image ro

ln -sfn "$mnt" "$prefix/dosdevices/$raw:"
ln -sfn "$work/volume.img" "$prefix/dosdevices/$raw::"
ln -sfn "$mnt" "$prefix/dosdevices/$plain:"

# report LETTER FOLDER ARGS...: the output in $work/LETTER.out, its standard error in .err.
report() {
  local letter=$1 folder=$2
  shift 2
  "${emulator[@]}" "$program" "$@" "$letter:\\$folder" >"$work/$letter.out" 2>"$work/$letter.err"
  tr -d '\r' <"$work/$letter.err" >"$work/$letter.txt"
}

# The same tree in two exports: names, sizes, bytes on disk, times and links, in any order.
same_exports() {
  python3 - "$work/$raw.out" "$work/$plain.out" <<'PY'
import json, sys
def tree(node, top=False):
    if isinstance(node, list):
        head = dict(node[0], name='')
        # The walk under Windows is not told its root's time; the table tells it.
        for key in ('dev', 'ino') + (('mtime',) if top else ()):
            head.pop(key, None)
        return (json.dumps(head, sort_keys=True), sorted(tree(child) for child in node[1:]))
    node = {k: v for k, v in node.items() if k not in ('dev', 'ino')}
    return (json.dumps(node, sort_keys=True), [])
a, b = (tree(json.load(open(path, encoding='utf-8'))[3], True) for path in sys.argv[1:3])
def flat(node, path, out):
    out[path + node[0]] = True
    for child in node[1]:
        flat(child, path + '  ', out)
    return out
if a != b:
    fa, fb = flat(a, '', {}), flat(b, '', {})
    print('only read:', [k for k in fa if k not in fb][:5], file=sys.stderr)
    print('only walked:', [k for k in fb if k not in fa][:5], file=sys.stderr)
    sys.exit(1)
PY
}

# Every name of a linked file counted: the walk under Wine is not told a file's links.
for folder in "" "tree\\wide"; do
  report $raw "$folder" --json --exact --count-links
  report $plain "$folder" --json --exact --count-links
  grep -q "^Read from the file table of \\\\\\\\.\\\\N:" "$work/$raw.txt" ||
    fail "$raw:\\$folder was not read from the file table: $(cat "$work/$raw.txt")"
  grep -q "^Read from" "$work/$plain.txt" && fail "$plain:\\$folder was not walked"
  totals=$(grep -E '^[0-9]+ bytes, ' "$work/$raw.txt")
  [ -n "$totals" ] && [ "$totals" = "$(grep -E '^[0-9]+ bytes, ' "$work/$plain.txt")" ] ||
    fail "totals of \\$folder differ: $totals / $(grep -E '^[0-9]+ bytes, ' "$work/$plain.txt")"
  same_exports || fail "the exports of \\$folder differ"
done
for args in "--disk-usage --exact --count-links" "--count-links --exact --csv"; do
  report $raw "tree" $args
  report $plain "tree" $args
  # The same but for the letter on the Path line.
  diff <(sed '/^Path: /d' "$work/$raw.out") <(sed '/^Path: /d' "$work/$plain.out") >&2 ||
    fail "$args: the reports differ"
  [ "$(grep -E '^[0-9]+ bytes, ' "$work/$raw.txt")" = "$(grep -E '^[0-9]+ bytes, ' "$work/$plain.txt")" ] ||
    fail "$args: the totals differ"
done
# The file with three names counts once: the walk's total less two of its 54321 bytes.
report $plain "tree" --exact --count-links
every=$(grep -E '^[0-9]+ bytes, ' "$work/$plain.txt" | grep -oE '^[0-9]+')
report $raw "tree" --exact
grep -qx "$((every - 2 * 54321)) bytes, [0-9]* folders, [0-9]* files beneath, 1 hard-linked file counted once" "$work/$raw.txt" ||
  fail "links not counted once: $(cat "$work/$raw.txt")"

# A volume that does not add up is walked, and says why: a torn write in one record.
record=$(stat -c %i "$mnt/tree/empty")
ntfs_unmount "$mnt"
ntfs_tear_record "$work/volume.img" "$record"
mount_image ro
report $raw "tree" --exact
grep -q "^Walking the folder, as its volume's file table cannot be read: file record $record is damaged" "$work/$raw.txt" ||
  fail "a damaged table gave no reason: $(cat "$work/$raw.txt")"

[ "$failures" -eq 0 ] || exit 1
echo "PASS"
