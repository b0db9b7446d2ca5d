# Sourced by the scripts that fill an NTFS volume image through ntfs-3g (FUSE, as root).
#   ntfs_mount IMAGE FOLDER [OPTIONS]  mounts it; the driver runs in the foreground (its pid
#                                      in ntfs_driver), so that its end says the image is
#                                      written; fails when it does not mount within 30 s
#   ntfs_unmount FOLDER                unmounts it and waits for the driver to end
#   ntfs_missing                       prints what this machine lacks to make and mount one
#   ntfs_wine_test PROGRAM EMULATOR... a Wine test's arguments (the emulator is
#                                      cmake/wine-run.sh ARCH PREFIX): sets program, emulator
#                                      and prefix; fails naming what this machine lacks
#   ntfs_tear_record IMAGE RECORD      flips a byte at the end of the file record's first
#                                      sector, as a torn write leaves it
ntfs_driver=""

ntfs_mount() {
  local image=$1 folder=$2 outside
  outside=$(stat -c %d "$folder")
  ntfs-3g -o "no_detach${3:+,$3}" "$image" "$folder" >/dev/null 2>&1 &
  ntfs_driver=$!
  for _ in $(seq 3000); do
    [ "$(stat -c %d "$folder")" != "$outside" ] && return 0
    kill -0 "$ntfs_driver" 2>/dev/null || break
    sleep 0.01
  done
  echo "ntfs-3g did not mount $image" >&2
  return 1
}

ntfs_unmount() {
  [ -n "$ntfs_driver" ] || return 0
  umount "$1" 2>/dev/null || kill "$ntfs_driver" 2>/dev/null
  wait "$ntfs_driver" 2>/dev/null
  ntfs_driver=""
}

ntfs_missing() {
  local missing="" tool
  [ "$(id -u)" -eq 0 ] || missing+="root (ntfs-3g mounts the image through FUSE as root); "
  [ -r /dev/fuse ] && [ -w /dev/fuse ] || missing+="/dev/fuse; "
  for tool in mkntfs ntfs-3g python3 umount; do
    command -v $tool >/dev/null || missing+="$tool (apt-get install ntfs-3g python3 mount); "
  done
  printf '%s' "$missing"
}

ntfs_tear_record() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
with open(sys.argv[1], 'r+b') as image:
    boot = image.read(512)
    cluster = struct.unpack_from('<H', boot, 0x0B)[0] * boot[0x0D]
    at = struct.unpack_from('<Q', boot, 0x30)[0] * cluster + int(sys.argv[2]) * 1024 + 510
    image.seek(at)
    byte = image.read(1)[0]
    image.seek(at)
    image.write(bytes([byte ^ 0x5A]))
PY
}

ntfs_wine_test() {
  program=$1
  shift
  emulator=("$@")
  prefix=$(realpath -m "${emulator[-1]:-}")
  local missing
  missing=$(ntfs_missing)
  [ ${#emulator[@]} -ge 3 ] || missing+="the Wine runner and its prefix as arguments; "
  if [ -n "$missing" ]; then
    echo "FAIL: this test makes a real NTFS volume and needs: $missing" >&2
    exit 1
  fi
}
