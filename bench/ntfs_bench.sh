#!/usr/bin/env bash
# The NTFS file table reader against what it replaces (docs/perf.md). Needs root, /dev/fuse,
# ntfs-3g and farm-bench; the images are made here (mkntfs, filled through ntfs-3g).
#   bench/ntfs_bench.sh native [FILES]   (default 300000): ntfs_table_bench reading the
#       image's table into a snapshot, against dd of the table's extents from the warm image
#   bench/ntfs_bench.sh wine [FILES]     (default 20000): dscp-report.exe on a drive whose
#       raw device is the image, against its walk of the same mounted volume through a
#       second drive letter without one; then Wine's start alone (--version)
#   bench/ntfs_bench.sh gui [FILES]      (default 100000): the window (gui_bench.exe show)
#       showing the volume's root through the letter with the raw device, against the
#       letter without one: its own time to the sorted totals, then whole runs side by side
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-native}
source "$here/scripts/ntfs_image.sh"
work=$(mktemp -d /tmp/dscp-ntfs-bench.XXXXXX)
mnt=$work/mnt
prefix=$here/build/win64/wineprefix
cleanup() {
  rm -f "$prefix/dosdevices/n:" "$prefix/dosdevices/n::" "$prefix/dosdevices/o:"
  ntfs_unmount "$mnt"
  rm -rf "$work"
}
trap cleanup EXIT

# make_image FILES MAX_SIZE: FILES files of 0 to MAX_SIZE bytes, 500 a folder, 20 folders
# a group; every tenth file made and deleted again, so the table has holes.
make_image() {
  mkdir -p "$mnt"
  truncate -s 4G "$work/volume.img"
  mkntfs -F -f -q "$work/volume.img" >/dev/null 2>&1
  ntfs_mount "$work/volume.img" "$mnt"
  python3 - "$mnt" "$1" "$2" <<'PY'
import os, sys
root, files, most = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
made = 0
while made < files:
    folder = f'{root}/group{made // 10000}/folder{made // 500}'
    os.makedirs(folder, exist_ok=True)
    for i in range(min(500, files - made)):
        with open(f'{folder}/file{i}.dat', 'wb') as f:
            f.write(b'x' * ((made * 7919) % (most + 1)))
        if made % 10 == 0:
            open(f'{folder}/gone{i}', 'wb').close()
            os.remove(f'{folder}/gone{i}')
        made += 1
PY
  ntfs_unmount "$mnt"
}

case $mode in
native)
  files=${2:-300000}
  bench=$here/build/linux/bench/ntfs_table_bench
  [ -x "$bench" ] || { echo "build it first: cmake --build --preset linux --target ntfs_table_bench" >&2; exit 1; }
  make_image "$files" 600
  "$bench" "$work/volume.img"
  dd_script=$work/dd.sh
  { echo "set -e"; "$bench" "$work/volume.img" --extents |
      sed "s|^|dd if=$work/volume.img of=/dev/null status=none |"; } >"$dd_script"
  echo "the table's extents: $(($(wc -l <"$dd_script") - 1))"
  farm-bench -n 9 --warmup 2 --timeout 600 --vs "sh $dd_script" -- "$bench" "$work/volume.img"
  ;;
wine)
  files=${2:-20000}
  exe=$here/build/win64/src/cli/dscp-report.exe
  [ -x "$exe" ] || { echo "build it first: cmake --build --preset win64 --target dscp-report" >&2; exit 1; }
  make_image "$files" 5000
  ntfs_mount "$work/volume.img" "$mnt" ro
  run=(bash "$here/cmake/wine-run.sh" win64 "$prefix")
  "${run[@]}" cmd /c exit 0 >/dev/null 2>&1
  ln -sfn "$mnt" "$prefix/dosdevices/n:"
  ln -sfn "$work/volume.img" "$prefix/dosdevices/n::"
  ln -sfn "$mnt" "$prefix/dosdevices/o:"
  WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 || true
  for letter in n o; do
    "${run[@]}" "$exe" --exact -o NUL "$letter:\\" 2>&1 | tr -d '\r' | grep -E "bytes, |file table"
  done
  farm-bench -n 7 --warmup 1 --timeout 900 --vs "${run[*]} $exe -o NUL 'o:\'" -- "${run[@]}" "$exe" -o NUL 'n:\'
  # What Wine's start takes of both: the scans' own times are the walls less this.
  farm-bench -n 7 --warmup 1 --timeout 300 -- "${run[@]}" "$exe" --version
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  ;;
gui)
  files=${2:-100000}
  exe=$here/build/win64/bench/gui_bench.exe
  [ -x "$exe" ] || { echo "build it first: cmake --build --preset win64 --target gui_bench" >&2; exit 1; }
  make_image "$files" 5000
  ntfs_mount "$work/volume.img" "$mnt" ro
  run=(bash "$here/cmake/wine-run.sh" win64 "$prefix")
  # Windows the prefix treats as managed would wait for a window manager when hidden.
  "${run[@]}" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  ln -sfn "$mnt" "$prefix/dosdevices/n:"
  ln -sfn "$work/volume.img" "$prefix/dosdevices/n::"
  ln -sfn "$mnt" "$prefix/dosdevices/o:"
  WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 || true
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  for _ in 1 2 3; do
    for letter in n o; do
      echo "$letter: $("${run[@]}" "$exe" show "$letter:\\" 2>/dev/null | tr -d '\r' | grep '^show')"
    done
  done
  farm-bench -n 5 --warmup 1 --timeout 900 --vs "${run[*]} $exe show 'o:\'" -- "${run[@]}" "$exe" show 'n:\'
  echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: ntfs_bench.sh native|wine|gui [FILES]" >&2
  exit 2
  ;;
esac
