#!/usr/bin/env bash
# Runs a Windows test program with a real NTFS volume made natively (mkntfs, filled through
# ntfs-3g, as root): drive Q: is its mount with the image as its raw device, so the program
# reads the volume's file table; R: the same mount without one, so it walks; S: the mount
# with a copy of the image whose folder "tree\empty" has a torn record as its raw device.
#   run_with_ntfs_volume.sh PROGRAM EMULATOR...   (the emulator is cmake/wine-run.sh ARCH PREFIX)
set -uo pipefail
source "$(dirname "$0")/../../scripts/ntfs_image.sh"
ntfs_wine_test "$@"
work=$(mktemp -d /tmp/dscp-ntfs-gui.XXXXXX)
mnt=$work/mnt
# Letters no other test uses; the prefix is shared, so they go again at the end.
cleanup() {
  rm -f "$prefix/dosdevices/q:" "$prefix/dosdevices/q::" "$prefix/dosdevices/r:" \
        "$prefix/dosdevices/s:" "$prefix/dosdevices/s::"
  ntfs_unmount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$mnt"
truncate -s 64M "$work/volume.img"
mkntfs -F -f -q "$work/volume.img" >/dev/null 2>&1 || { echo "FAIL: mkntfs" >&2; exit 1; }
ntfs_mount "$work/volume.img" "$mnt" || { echo "FAIL: ntfs-3g did not mount the image" >&2; exit 1; }
python3 - "$mnt" <<'PY'
import os, sys
root = sys.argv[1]
def write(path, size):
    with open(path, 'wb') as f:
        f.write(bytes((i * 7) % 251 for i in range(size)))
os.makedirs(f'{root}/tree/deep/' + '/'.join(f'level{i}' for i in range(12)))
for folder in range(12):
    os.makedirs(f'{root}/tree/wide/f{folder}')
    for i in range(40):
        write(f'{root}/tree/wide/f{folder}/file{i}.dat', (folder * 61 + i * 13) % 9000)
for size in (0, 1, 600, 4097, 123457, 2000000):
    write(f'{root}/tree/size {size}', size)
with open(f'{root}/tree/deep/sparse', 'wb') as f:
    f.truncate(1 << 28)
    f.seek(5 << 20)
    f.write(b'data')
write(f'{root}/tree/deep/linked', 54321)
os.link(f'{root}/tree/deep/linked', f'{root}/tree/wide/f3/linked too')
for name in ('café', '日本語'):
    os.makedirs(f'{root}/tree/{name}')
    write(f'{root}/tree/{name}/{name}', len(name) * 1000)
os.makedirs(f'{root}/tree/empty')
write(f'{root}/top file', 777)
PY
record=$(stat -c %i "$mnt/tree/empty")
ntfs_unmount "$mnt"
# The copy with a torn write in the empty folder's record.
cp "$work/volume.img" "$work/torn.img"
ntfs_tear_record "$work/torn.img" "$record"
# Mounted afresh and read-only, the volume is what its image holds.
ntfs_mount "$work/volume.img" "$mnt" ro || { echo "FAIL: ntfs-3g did not mount the image" >&2; exit 1; }
ln -sfn "$mnt" "$prefix/dosdevices/q:"
ln -sfn "$work/volume.img" "$prefix/dosdevices/q::"
ln -sfn "$mnt" "$prefix/dosdevices/r:"
ln -sfn "$mnt" "$prefix/dosdevices/s:"
ln -sfn "$work/torn.img" "$prefix/dosdevices/s::"
DSCP_NTFS_TORN_RECORD=$record "${emulator[@]}" "$program"
